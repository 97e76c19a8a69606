#include "editor/forms/FormLayerSave.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "editor/MontageDesk.h"
#include "editor/PortraitToolDesign.h"
#include "editor/forms/FormTemplates.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/WriteFailure.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kWidth = 273;
constexpr int kHeight = 172;
constexpr int kCaptionHeight = 20;

QLabel* NewLabel(QWidget* form, const char* name, int top, const QString& text) {
  auto* label = new QLabel(text, form);
  label->setObjectName(name);
  label->setGeometry(10, top, kWidth - 20, 18);
  label->setStyleSheet("color: #e8f2f4;");
  return label;
}

}  // namespace

TFormLayerSave::TFormLayerSave(TMontageDesk& desk, TLayer* layer, const TMainSettings& settings,
                               TTemplateBase& templates, QWidget* parent)
    : TSkinnedForm("FormLayerSave", parent), desk_(desk), layer_(layer), settings_(settings), templates_(templates) {
  resize(kWidth, kHeight);
  PlaceFromFrame({120, 85});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {253, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { close(); };

  LabelTemplateType = NewLabel(this, "LabelTemplateType", 28, TermText("FormLayerSaveLabelTemplateTypeCaption", "Template type"));
  ComboBoxTemplateType = new QComboBox(this);
  ComboBoxTemplateType->setObjectName("ComboBoxTemplateType");
  ComboBoxTemplateType->setGeometry(10, 46, kWidth - 20, 24);
  LabelTemplateName = NewLabel(this, "LabelTemplateName", 78, TermText("FormLayerSaveLabelTemplateNameCaption", "Template name"));
  EditTemplateName = new QLineEdit(this);
  EditTemplateName->setObjectName("EditTemplateName");
  EditTemplateName->setGeometry(10, 96, kWidth - 20, 24);

  ButtonOK = NewSheetButton(this, "ButtonOK", ImageButtons, d::kSheetButtonTop,
                            {10, kHeight - 10 - d::kButtonHeight, d::kButtonWidth, d::kButtonHeight});
  ButtonCancel = NewSheetButton(this, "ButtonCancel", ImageButtons, d::kSheetButtonTop,
                                {kWidth - 10 - d::kButtonWidth, kHeight - 10 - d::kButtonHeight, d::kButtonWidth,
                                 d::kButtonHeight});
  ButtonOK->SetCaption(TermText("ButtonOKCaption", "OK"));
  ButtonCancel->SetCaption(TermText("ButtonCancelCaption", "Cancel"));
  ButtonOK->OnClick = [this] { ButtonOKClick(); };
  ButtonCancel->OnClick = [this] { close(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));

  Skins = {"FormLayerSave.Skin", "FormLsav.psd", "FormLayerSaveButtons", "ButLRegs.psd"};
  OnShow = [this] {
    CaptionBar->Caption = isRegion_ ? TermText("FormLayerSaveRegionCaption", "Save region as template")
                                    : TermText("FormLayerSaveLayerCaption", "Save layer as template");
    CaptionBar->update();
    if (!layer_ || desk_.IndexOfLayer(layer_) < 0) {
      QTimer::singleShot(0, this, [this] { close(); });
      return;
    }
    FillTypes();
    EditTemplateName->setText(TermText("FormLayerSaveTemplateNamePrefix") + QString::fromStdString(layer_->Caption) +
                              TermText("FormLayerSaveTemplateNamePostfix"));
    EditTemplateName->setFocus();
  };
}

TFormLayerSave::~TFormLayerSave() = default;

void TFormLayerSave::SetRegion(TRegionCut cut) {
  isRegion_ = true;
  region_ = std::move(cut);
}

void TFormLayerSave::FillTypes() {
  // The browser may not have read the types yet.
  templates_.LoadTypes(settings_.Ini);
  ComboBoxTemplateType->clear();
  int match = -1;
  for (const TPartTypeRecord& type : templates_.Types) {
    if (type.TypeNo <= 0) continue;
    if (type.TypeNo == layer_->TypeId) match = ComboBoxTemplateType->count();
    ComboBoxTemplateType->addItem(QString::fromStdString(type.Text), type.TypeNo);
  }
  // A layer of no listed type starts with none chosen.
  ComboBoxTemplateType->setCurrentIndex(match);
}

void TFormLayerSave::ButtonOKClick() {
  if (!layer_ || desk_.IndexOfLayer(layer_) < 0) {
    close();
    return;
  }
  const TPartTypeRecord* type = ComboBoxTemplateType->currentIndex() < 0
                                    ? nullptr
                                    : FindTemplateType(ComboBoxTemplateType->currentData().toInt(), templates_.Types);
  if (!type) {
    ShowMessageBox("MessageTemplateTypeMissing", mbkOKCancel, false, "Choose the type of the template first.");
    return;
  }
  TTemplateToSave entry;
  if (isRegion_) {
    entry.Picture = region_.Picture;
    entry.OffsetToFace = {region_.DX, region_.DY};
  } else {
    entry = LayerTemplate(*layer_, desk_.Points.Face);
  }
  const TPartTypeRecord chosen = *type;
  const TTemplateSaveResult result = SaveTemplate(
      InstallationFolder(), chosen, EditTemplateName->text().toStdString(), entry, [this] { return desk_.NewLayerId(); });
  switch (result.Fault) {
    case TTemplateSaveFault::NoName: return;
    case TTemplateSaveFault::NoFolder:
      ShowMessageBox(WriteFailureText("MessageUnableCreateDirectory", "Unable to create the folder", result.Failure),
                     mbkOKCancel, true);
      return;
    case TTemplateSaveFault::PictureFailed:
      ShowMessageBox(WriteFailureText("MessageUnableSaveImage", "Unable to save the picture.", result.Failure),
                     mbkOKCancel, true);
      return;
    case TTemplateSaveFault::ListFailed:
      ShowMessageBox(WriteFailureText("", result.Detail, result.Failure), mbkOKCancel, true);
      return;
    case TTemplateSaveFault::None: break;
  }
  savedFile_ = result.FileName;
  if (FormTemplates && FormTemplates->isVisible() && templates_.CurrentType == chosen.TypeNo)
    FormTemplates->ReloadPartBase();
  ModalResult = 1;
  close();
}

void SaveAsTemplate(TMontageDesk& desk, const TMainSettings& settings, TTemplateBase& templates,
                    const TRegionCut* region) {
  TFormLayerSave form(desk, desk.SelectedLayer(), settings, templates);
  if (region) form.SetRegion(*region);
  ShowSkinnedModal(form);
}
