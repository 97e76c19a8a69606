#include "shell/InterfaceSchema.h"

#include <algorithm>

#include "platform/Text.h"

namespace {

using P7 = std::array<std::string_view, 7>;
using P16 = std::array<std::string_view, 16>;

constexpr P7 kMainParams = {"Skin", "TemplateButtons", "TemplateBtnShowPos", "TemplatePreviewInfo",
                            "PaletteBtnShowPos", "PaletteBtnRows", "PaletteBtnCols"};
constexpr P7 kSkinOnly = {"Skin"};
constexpr P7 kPlain = {"Skin", "Color", "Left", "Top"};
constexpr P7 kCamera = {"Skin", "Color", "Left", "Top", "CapWinX", "CapWinY"};
constexpr P7 kPreview = {"Skin", "Color", "Left", "Top", "LockResImage"};

constexpr TSectionTypeInfo kSectionTypes[] = {
    {"TFormMain", kMainParams},
    {"TFormMontage", kSkinOnly},
    {"TFormLoadSave", kPlain},
    {"TFormTips", kPlain},
    {"TFormCamera", kCamera},
    {"TFormMessage", kPlain},
    {"TFormTemplates", kPlain},
    {"TFormSetup", kPlain},
    {"TFormLayers", kPlain},
    {"TFormAdjust", kPlain},
    {"TFormHelp", kPlain},
    {"TFormPreview", kPreview},
    {"TFormPrint", kPlain},
    {"TFormEmail", kPlain},
    {"TFormQueries", kPlain},
    {"TFormMask", kPlain},
    {"TFormInetModes", kPlain},
    {"TFormDownloadElements", kPlain},
    {"TFormInetReg", kPlain},
    {"TFormToGallery", kPlain},
    {"TFormFromGallery", kPlain},
    {"TFormLayerRegions", kPlain},
    {"TFormLayerRegionEdit", kPlain},
    {"TFormPostCard", kPlain},
    {"TFormPostCardText", kPlain},
    {"TFormPostCardBack", kPlain},
    {"TFormColorCalibration", kPlain},
    {"TFormPublisherMessages", kPlain},
    {"TFormPassword", kPlain},
    {"TFormBaldHead", kPlain},
    {"TFormChatReg", kPlain},
    {"TFormChat", kPlain},
    {"TFormTalk", kPlain},
    {"TFormVideo", kPlain},
    {"TFormShopList", kPlain},
    {"TFormLayerSave", kPlain},
    {"TFormCatalog", kPlain},
    {"TFormVideoClip", kPlain},
    {"TFormAlbum", kPlain},
    {"TForm3DTemplate", kPlain},
};

constexpr P16 kButton = {"Left", "Top", "Width", "Height", "Visible", "ResLeft", "ResTop", "ResWidth",
                         "ResHeight", "Tag", "ActiveAlpha"};
constexpr P16 kSlider = {"Left",      "Top",         "Width",       "Height",      "Visible",
                         "ResLeft",   "ResTop",      "ResWidth",    "ResHeight",   "ResImageLeft",
                         "ResImageTop", "BeginOffset", "EndOffset", "SlideBtnTop", "SlideBtnLeft",
                         "Reversed"};
constexpr P16 kPanel = {"Left", "Top", "Width", "Height", "Visible", "Color"};
constexpr P16 kImage = {"Left", "Top", "Width", "Height", "Visible"};
constexpr P16 kText = {"Left", "Top", "Width", "Height", "Visible", "FontName", "FontSize", "FontColor"};
constexpr P16 kCaption = {"Left", "Top", "Width", "Height", "FontName", "FontSize", "FontColor"};
constexpr P16 kList = {"Left", "Top", "Width", "Height", "Visible", "Color", "FontName", "FontSize",
                       "FontColor"};
constexpr P16 kTagged = {"Left", "Top", "Width", "Height", "Visible", "Tag"};
constexpr P16 kHtml = {"Left", "Top", "Width", "Height", "Visible", "Tag", "FontName", "FontSize",
                       "FontColor"};
constexpr P16 kBounds = {"Left", "Top", "Width", "Height"};
constexpr P16 kHint = {"HintBgColor", "HintTextColor"};

constexpr TObjectTypeInfo kObjectTypes[] = {
    {"TGraphicButton", kButton}, {"TGraphicSlider", kSlider}, {"TPanel", kPanel},
    {"TImage", kImage},          {"TLabel", kText},           {"TEdit", kText},
    {"TDateEdit", kText},        {"TCaptionBar", kCaption},   {"TListBox", kList},
    {"TCheckListBox", kList},    {"TComboBox", kList},        {"TScrollBox", kList},
    {"TProgressBar", kTagged},   {"THTMLViewer", kHtml},      {"TTreeView", kTagged},
    {"TButton", kBounds},        {"TRadioGroup", kBounds},    {"TMemo", kBounds},
    {"TStringGrid", kBounds},    {"TFileListBox", kBounds},   {"TGroupBox", kBounds},
    {"TSoundHint", kHint},       {"TDrawGrid", kBounds},
};

template <typename Row>
const Row* FindType(std::span<const Row> rows, std::string_view type) {
  auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return EqualsNoCase(r.Type, type); });
  return it == rows.end() ? nullptr : &*it;
}

template <typename Row>
bool AllowsParam(std::span<const Row> rows, std::string_view type, std::string_view param) {
  if (type.empty()) return true;
  const Row* row = FindType(rows, type);
  if (!row || param.empty()) return false;
  return std::any_of(row->Params.begin(), row->Params.end(),
                     [&](std::string_view p) { return !p.empty() && EqualsNoCase(p, param); });
}

}  // namespace

std::span<const TSectionTypeInfo> SectionTypes() { return kSectionTypes; }
std::span<const TObjectTypeInfo> ObjectTypes() { return kObjectTypes; }

bool IsSectionType(std::string_view type) { return FindType(SectionTypes(), type) != nullptr; }
bool IsObjectType(std::string_view type) { return FindType(ObjectTypes(), type) != nullptr; }
bool IsSectionParam(std::string_view sectionType, std::string_view param) {
  return AllowsParam(SectionTypes(), sectionType, param);
}
bool IsObjectParam(std::string_view objectType, std::string_view param) {
  return AllowsParam(ObjectTypes(), objectType, param);
}
