#pragma once
// The template browser's preview grid: cells, the fitting of a preview into its
// cell, the mouse hit test, the scroll range and the scroll steps, and where a
// template's file is found among the content folders.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"

struct TContentFolders;

// Where a picture of that size is drawn in `cell`: at its own size centred when it
// fits, else fitted keeping its aspect (rounding halves to even); an empty
// rectangle at the cell's corner for an empty picture.
TRect FitIntoCell(const TRect& cell, int pictureWidth, int pictureHeight);

class TTemplateGrid {
 public:
  // A grid of columns x rows cells over an image of the given size (at least one
  // cell each way).
  TTemplateGrid(int imageWidth, int imageHeight, int columns, int rows);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  int CellWidth() const { return cellWidth_; }
  int CellHeight() const { return cellHeight_; }
  int PageSize() const { return columns_ * rows_; }

  // Cell (row, column), both 0-based, in image pixels.
  TRect Cell(int row, int column) const;
  // The 0-based index of the shown entry in cell (row, column) when the first
  // visible row is `firstRow`.
  int EntryIndex(int firstRow, int row, int column) const { return (firstRow + row) * columns_ + column; }
  // The shown entry under image point (x, y), nullopt when the point lies outside
  // the cells or on an empty one.
  std::optional<int> HitTest(int x, int y, int firstRow, int shownCount) const;
  // The extra rows beyond one page: the scroll maximum.
  int ScrollMax(int shownCount) const;
  // The first row after a step up or down by one row or a page, kept in 0..max.
  int ScrollStep(int firstRow, int shownCount, bool down, bool byPage) const;

  // Where a picture of that size is drawn in cell `cell`: at its own size centred
  // when it fits, else fitted keeping its aspect (rounding halves to even).
  TRect FitPicture(const TRect& cell, int pictureWidth, int pictureHeight) const {
    return FitIntoCell(cell, pictureWidth, pictureHeight);
  }

 private:
  int columns_;
  int rows_;
  int cellWidth_;
  int cellHeight_;
};

// The content folders in the order the browser applies a template (HDPath, CDPath,
// the installation folder); an empty folder stands for the installation's. The
// user's own folder comes first when the installation is read-only
// (UserProgramFolder).
std::vector<std::string> TemplateApplyFolders(const TContentFolders& content);
// The same folders for previews (user's, installation, HDPath, CDPath), each once.
std::vector<std::string> TemplatePreviewFolders(const TContentFolders& content);

// The file a template name stands for: the name itself, else the same name with
// the extension ".psd", ".fcc" or ".fll" (found ignoring case). Previews and
// placement both load what this finds.
std::optional<std::filesystem::path> ExistingTemplateFile(const std::filesystem::path& path);
// That file in the first of `folders` that has it.
std::optional<std::filesystem::path> FindTemplateFile(const std::vector<std::string>& folders,
                                                      const std::string& fileName);
