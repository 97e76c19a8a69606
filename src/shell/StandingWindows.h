#pragma once
// The windows the start-up creates, in their order. Windows of higher layers join by
// registering a factory under their name (shell/forms/StandingForms.h); the main
// window is shown right after the message box has been created.
#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 20> StandingWindowOrder = {
    "FormMain",      "FormMessage",      "FormHelp",       "FormTips",     "FormAdjust",
    "FormMontage",   "FormPreview",      "FormSetup",      "FormLayers",   "FormLoadSave",
    "FormMask",      "FormQueries",      "FormTemplates",  "FormLayerRegions", "FormLayerRegionEdit",
    "FormViewWork",  "FormInetModes",    "FormEmail",      "FormPrint",    "FormCamera"};

// The main window is shown after the window of this name is created.
inline constexpr std::string_view ShowMainAfter = "FormMessage";
