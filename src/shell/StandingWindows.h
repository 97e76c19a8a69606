#pragma once
// The standing windows, in their order: the first, the main window, is made at
// start-up, the others when first asked for. Windows of higher layers join by
// registering a factory under their name (shell/forms/StandingForms.h).
#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 20> StandingWindowOrder = {
    "FormMain",      "FormMessage",      "FormHelp",       "FormTips",     "FormAdjust",
    "FormMontage",   "FormPreview",      "FormSetup",      "FormLayers",   "FormLoadSave",
    "FormMask",      "FormQueries",      "FormTemplates",  "FormLayerRegions", "FormLayerRegionEdit",
    "FormViewWork",  "FormInetModes",    "FormEmail",      "FormPrint",    "FormCamera"};
