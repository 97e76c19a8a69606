#include "exchange/LoadSaveController.h"

#include <utility>

#include "exchange/PictureAcquisition.h"
#include "picture/BitmapRoutines.h"
#include "shell/Termins.h"

namespace {

struct TFilterText {
  const char* Key;
  const char* Default;
  std::vector<std::string> Patterns;
};

TFileFilter Filter(const TFilterText& text) {
  return {GetTerm(text.Key, ProgramTexts(), text.Default), text.Patterns};
}

const TFilterText kBmp{"BMP_GraphicFilterName", "Bitmaps (*.bmp)", {"*.bmp"}};
const TFilterText kJpg{"JPG_GraphicFilterName", "JPEG image files (*.jpg, *.jpeg)", {"*.jpg", "*.jpeg"}};
const TFilterText kPsd{"PSD_GraphicFilterName", "PhotoShop files (*.psd)", {"*.psd"}};
const TFilterText kGif{"GIF_GraphicFilterName", "CompuServe GIF images (*.gif)", {"*.gif"}};
const TFilterText kTif{"TIF_GraphicFilterName", "Tag image files (*.tif)", {"*.tif"}};
const TFilterText kPcx{"PCX_GraphicFilterName", "PCX files (*.pcx)", {"*.pcx"}};
const TFilterText kTga{"TGA_GraphicFilterName", "Targa images (*.tga)", {"*.tga"}};
const TFilterText kPng{"PNG_GraphicFilterName", "Portable Network Graphics (*.png)", {"*.png"}};
const TFilterText kEps{"EPS_GraphicFilterName", "Enapsulated PostScript files (*.eps)", {"*.eps"}};
const TFilterText kWmf{"WMF_GraphicFilterName", "Metafiles (*.wmf)", {"*.wmf"}};

// A saved picture's name for the next save: no folder, no extension.
std::string BareName(const fs::path& file) { return file.stem().string(); }

}  // namespace

std::string_view LoadSaveMessageDefault(std::string_view key) {
  static constexpr std::pair<std::string_view, std::string_view> kTexts[] = {
      {"MessageUnableLoadImage", "Unable to load the picture."},
      {"MessageClipboardIsEmpty", "The clipboard holds no picture."},
      {"MessageCameraNotFound", "Camera not found"},
      {"MessageWorkIsEmpty", "The work is empty."},
      {"MessageUnableSaveImage", "Unable to save the picture."},
  };
  return DefaultTextOf(kTexts, key);
}

std::vector<TFileFilter> ImageOpenFilters() {
  std::vector<TFileFilter> filters;
  filters.push_back({GetTerm("AllGraphicsFilterName", ProgramTexts(), "All supported graphical formats"), {}});
  for (const TFilterText* text : {&kBmp, &kJpg, &kPsd, &kGif, &kTif, &kPcx, &kTga, &kPng, &kEps, &kWmf}) {
    filters.push_back(Filter(*text));
    for (const std::string& pattern : text->Patterns) filters.front().Patterns.push_back(pattern);
  }
  filters.push_back({GetTerm("AllFilesFilterName", ProgramTexts(), "All files (*.*)"), {"*"}});
  return filters;
}

std::vector<TFileFilter> ImageSaveFilters() {
  std::vector<TFileFilter> filters;
  for (const TFilterText* text : {&kBmp, &kJpg, &kPsd, &kTif, &kPcx, &kTga, &kPng}) {
    filters.push_back(Filter(*text));
    filters.back().Patterns.resize(1);  // ".jpeg" is read, but saved pictures are named ".jpg"
  }
  return filters;
}

TLoadSaveController::TLoadSaveController(ILoadSaveUi& ui, IWorkPicture& work, IScanner* scanner)
    : ui_(ui), work_(work), scanner_(scanner) {}

bool TLoadSaveController::LoadImage() {
  const auto file = ui_.ChooseImageToOpen(ImageOpenFolder, ImageOpenFilters());
  if (!file) return false;
  ImageOpenFolder = file->parent_path();
  ui_.SetBusy(true);
  TFileResult<TSourcePicture> loaded = LoadIncomingPicture(*file);
  ui_.SetBusy(false);
  if (!loaded) {
    // The window stays open with the previous picture, for another try. The
    // file's first bytes say more of what is wrong than a library does.
    const std::string_view key = "MessageUnableLoadImage";
    const TFileError& failure = loaded.Error();
    ui_.ShowText(GetTerm(key, ProgramTexts(), LoadSaveMessageDefault(key)) + "\r" + file->filename().string() + ": " +
                 (failure.Cause == TFileFault::TooLarge ? failure.Reason() : PictureFileProblem(*file)));
    return false;
  }
  ui_.CloseWindow();
  ui_.ShowAdjustWindow(std::move(*loaded));
  return true;
}

bool TLoadSaveController::LoadClipboard() {
  auto picture = ui_.ClipboardPicture();
  if (!picture || picture->Empty()) {
    ui_.ShowMessage("MessageClipboardIsEmpty");
    return false;
  }
  ui_.CloseWindow();
  TakePicture(std::move(*picture));
  return true;
}

void TLoadSaveController::TakePicture(TBitmap32 picture) {
  SetAlpha(picture, 255);
  ui_.ShowAdjustWindow({std::move(picture), false});
}

bool TLoadSaveController::LoadCamera() {
  if (!ui_.ConnectCamera()) {
    ui_.ShowMessage("MessageCameraNotFound");
    return false;
  }
  ui_.CloseWindow();
  ui_.RunCameraWindow();
  return true;
}

bool TLoadSaveController::LoadScanner() {
  if (!scanner_) return false;
  ui_.SetBusy(true);
  const auto devices = scanner_->Devices();
  ui_.SetBusy(false);
  const auto device = ui_.ChooseScanner(devices);
  if (!device) return false;
  ui_.CloseWindow();
  ui_.SetBusy(true);
  const TScanResult result = scanner_->Scan(*device, PreferredScanOptions());
  ui_.SetBusy(false);
  TScanOutcome outcome = TakeScanResult(result);
  if (outcome.Message) ui_.ShowText(*outcome.Message);
  if (!outcome.Picture.Empty()) ui_.ShowAdjustWindow({std::move(outcome.Picture), false});
  return true;
}

bool TLoadSaveController::SaveImage() {
  if (work_.WorkIsEmpty()) {
    ui_.ShowMessage(ImageOutputMessage(TFileFault::Empty));
    return false;
  }
  const auto file = ui_.ChooseImageToSave(ImageSaveFolder, PictureName ? *PictureName : "", ImageSaveFilters());
  if (!file) return false;
  if (PictureName) *PictureName = BareName(*file);
  ImageSaveFolder = file->parent_path();
  ui_.CloseWindow();
  ui_.SetBusy(true);
  const TFileResult<> saved = SaveWorkPicture(work_, *file);
  ui_.SetBusy(false);
  if (saved)
    ui_.ImageSavedNow();
  else if (saved.Error().Cause == TFileFault::Empty)
    ui_.ShowMessage(ImageOutputMessage(TFileFault::Empty));
  else
    ui_.ShowText(ImageSaveFailureText(saved.Error()));
  return true;
}

bool TLoadSaveController::SaveClipboard() {
  if (work_.WorkIsEmpty()) {
    ui_.ShowMessage(ImageOutputMessage(TFileFault::Empty));
    return false;
  }
  ui_.CloseWindow();
  const TBitmap32 picture = work_.TakeExportPicture();
  if (!picture.Empty()) ui_.SetClipboardPicture(picture);
  return true;
}
