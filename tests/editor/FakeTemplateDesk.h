#pragma once
// A template desk for tests: keeps its layers in a list and builds a plain
// template picture of a given size for each file name.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/DeskMode.h"
#include "editor/TemplatePlacement.h"
#include "picture/Layer.h"
#include "support/FakeLayerHost.h"

// A desk that keeps its layers in a list and builds a template of a given size
// for each file name.
class FakeTemplateDesk : public ITemplateDesk {
 public:
  FakeLayerHost host;
  TDeskGeometry geometry;
  std::map<std::string, TPoint> sizes;
  std::vector<std::string> unreadable;  // files whose layer cannot be made
  std::vector<std::unique_ptr<TLayer>> layers;
  std::vector<int> deletedTypes;
  std::vector<std::string> created;
  std::vector<TChangeKind> changes;
  int selected = -1;
  int mode = dmNone;
  int listRefreshes = 0;
  int type = -1;
  std::string caption;
  TWorkPoints points;

  const TDeskGeometry& DeskGeometry() const override { return geometry; }
  const TWorkPoints& Points() const override { return points; }
  void SetNewLayer(int t, const std::string& c) override {
    type = t;
    caption = c;
  }
  TFileResult<std::unique_ptr<TLayer>> CreateLayer(const std::string& fileName) override {
    if (std::find(unreadable.begin(), unreadable.end(), fileName) != unreadable.end())
      return FileError(TFileFault::Damaged, fileName);
    const auto it = sizes.find(fileName);
    const TPoint size = it == sizes.end() ? TPoint{20, 20} : it->second;
    created.push_back(fileName);
    TBitmap32 picture;
    picture.SetSize(size.X, size.Y, Color32(200, 120, 40, 255));
    auto layer = std::make_unique<TLayer>(host, picture);
    layer->TypeId = type;
    layer->Caption = caption;
    return layer;
  }
  void SelectLayer(int index) override { selected = index; }
  int InsertLayer(std::unique_ptr<TLayer> layer) override {
    layers.push_back(std::move(layer));
    return int(layers.size()) - 1;
  }
  void DeleteLayersOfType(int typeId) override { deletedTypes.push_back(typeId); }
  int DeskMode() const override { return mode; }
  void SetDeskMode(int m) override { mode = m; }
  void SetChanged(TChangeKind code) override { changes.push_back(code); }
  void ComposeRect(const TRect&) override {}
  void RefreshLayerList() override { ++listRefreshes; }
};

