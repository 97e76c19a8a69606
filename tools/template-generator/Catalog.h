#pragma once
// The default templates: each with its type, file, caption and how it is drawn.
#include <QRectF>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"

struct TDefaultTemplate {
  int TypeNo;
  std::string File;  // in the type's folder
  std::string Name;
  QRectF Bounds;     // in head coordinates
  std::function<void(TTemplateCanvas&)> Paint;
};

std::vector<TDefaultTemplate> DefaultTemplates();
// The questionnaire attributes of a default template ("?NAME=V1,V2;" items),
// empty for templates no questionnaire asks about.
std::string TemplateAttributes(std::string_view file);
// The outline of the default head with its neck, in head coordinates.
QPainterPath HeadAndNeck();

// Head coordinates: the origin lies between the eyes, which are this far apart
// (the adjust window's fitted portraits); the face point is the left eye.
constexpr double kEyeDistance = 89;
