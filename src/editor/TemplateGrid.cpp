#include "editor/TemplateGrid.h"

#include <algorithm>
#include <system_error>

#include "platform/Numeric.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"

TTemplateGrid::TTemplateGrid(int imageWidth, int imageHeight, int columns, int rows)
    : columns_(std::max(1, columns)), rows_(std::max(1, rows)) {
  cellWidth_ = std::max(1, imageWidth / columns_);
  cellHeight_ = std::max(1, imageHeight / rows_);
}

TRect TTemplateGrid::Cell(int row, int column) const {
  return Bounds(column * cellWidth_, row * cellHeight_, cellWidth_, cellHeight_);
}

std::optional<int> TTemplateGrid::HitTest(int x, int y, int firstRow, int shownCount) const {
  if (x < 0 || y < 0) return std::nullopt;
  const int column = x / cellWidth_;
  const int row = y / cellHeight_;
  // The strip the integer cell size leaves at the right and bottom is no cell.
  if (column >= columns_ || row >= rows_) return std::nullopt;
  const int index = EntryIndex(firstRow, row, column);
  if (index >= shownCount) return std::nullopt;
  return index;
}

int TTemplateGrid::ScrollMax(int shownCount) const {
  const int extra = shownCount - PageSize();
  return extra <= 0 ? 0 : (extra + columns_ - 1) / columns_;
}

int TTemplateGrid::ScrollStep(int firstRow, int shownCount, bool down, bool byPage) const {
  const int step = byPage ? rows_ : 1;
  return std::clamp(firstRow + (down ? step : -step), 0, ScrollMax(shownCount));
}

TRect FitIntoCell(const TRect& cell, int pictureWidth, int pictureHeight) {
  const int cw = cell.Width(), ch = cell.Height();
  if (pictureWidth <= 0 || pictureHeight <= 0) return Bounds(cell.Left, cell.Top, 0, 0);
  if (pictureWidth <= cw && pictureHeight <= ch)
    return Bounds(cell.Left + (cw - pictureWidth) / 2, cell.Top + (ch - pictureHeight) / 2, pictureWidth,
                  pictureHeight);
  if (double(ch) / cw >= double(pictureHeight) / pictureWidth) {
    const int height = RoundInt(pictureHeight / (double(pictureWidth) / cw));
    return Bounds(cell.Left, cell.Top + RoundInt((ch - height) / 2.0), cw, height);
  }
  const int width = RoundInt(pictureWidth / (double(pictureHeight) / ch));
  return Bounds(cell.Left + RoundInt((cw - width) / 2.0), cell.Top, width, ch);
}

namespace {

std::string OrInstallation(const std::string& folder) { return folder.empty() ? InstallationFolder() : folder; }

// Templates the user saved or downloaded come first when the installation is read-only.
std::vector<std::string> WithUserFolder(std::vector<std::string> folders) {
  if (const fs::path own = UserProgramFolder(); !own.empty()) folders.insert(folders.begin(), (own / "").string());
  return folders;
}

}  // namespace

std::vector<std::string> TemplateApplyFolders(const TContentFolders& content) {
  return WithUserFolder({OrInstallation(content.HDPath), OrInstallation(content.CDPath), InstallationFolder()});
}

std::vector<std::string> TemplatePreviewFolders(const TContentFolders& content) {
  std::vector<std::string> folders;
  for (const std::string& folder : {InstallationFolder(), OrInstallation(content.HDPath), OrInstallation(content.CDPath)})
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  return WithUserFolder(std::move(folders));
}

std::optional<std::filesystem::path> ExistingTemplateFile(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return path;
  const std::string name = path.string();
  for (const char* ext : {".psd", ".fcc", ".fll"}) {
    const std::filesystem::path other = ResolvePath(ChangeFileExt(name, ext));
    if (std::filesystem::is_regular_file(other, error)) return other;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> FindTemplateFile(const std::vector<std::string>& folders,
                                                      const std::string& fileName) {
  for (const std::string& folder : folders)
    if (auto path = ExistingTemplateFile(ResolvePath(folder, fileName))) return path;
  return std::nullopt;
}
