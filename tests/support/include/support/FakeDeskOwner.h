#pragma once
// A desk owner that records what the desk tells the main window and serves
// settable state, a desk view that records repaints, and helpers that build
// layers on a desk with the desk geometry set to small known values.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/DeskMouseTools.h"
#include "editor/MontageDesk.h"
#include "picture/Layer.h"
#include "platform/ProgramFolders.h"
#include "shell/DeskGeometry.h"
#include "support/FakeLayerHost.h"

// The geometry every fake desk owner serves (SetSmallDesk sets it).
inline TDeskGeometry& TestDeskGeometry() {
  static TDeskGeometry geometry;
  return geometry;
}

class FakeDeskOwner : public FakeEditingHost<IDeskOwner> {
 public:
  int controls = 0;
  std::vector<std::string> labels;
  struct Shown {
    const TLayer* layer;
    const TMask* mask;
  };
  std::vector<Shown> shown;
  const TDeskGeometry& DeskGeometry() const override { return TestDeskGeometry(); }
  void SetControls() override { ++controls; }
  void ShowLayerValues(const TLayer& layer, const TMask* mask) override { shown.push_back({&layer, mask}); }
  void ShowLayerLabel(const std::string& text) override { labels.push_back(text); }
  std::string RegionWord() const override { return "Region "; }

  std::map<int, std::string> typeLetters;
  std::vector<std::string> folders;
  std::optional<std::string> TemplateTypeLetter(int typeId) const override {
    auto it = typeLetters.find(typeId);
    if (it == typeLetters.end()) return std::nullopt;
    return it->second;
  }
  std::vector<std::string> ContentFolders() const override { return folders; }

  std::vector<std::string> questions;
  int answer = 6;
  std::function<void()> whileAsking;  // what happens while the question is up
  int listRefreshes = 0;
  std::vector<int> listSelections;
  std::vector<int> visibilityChanges;
  std::vector<const TLayer*> regionsShown;
  int portraitPreviewClears = 0;
  std::vector<std::string> catalogPages;  // source files with a page for "T"
  std::vector<std::string> catalogShown;

  int AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (whileAsking) whileAsking();
    return answer;
  }
  void RefreshLayerList() override { ++listRefreshes; }
  void LayerListSelect(int index) override { listSelections.push_back(index); }
  void LayerListVisibilityChanged(int index) override { visibilityChanges.push_back(index); }
  std::vector<const TLayer*> looksChanged;
  void LayerListLookChanged(const TLayer& layer) override { looksChanged.push_back(&layer); }
  void RegionsShowLayer(TLayer* layer) override { regionsShown.push_back(layer); }
  void ClearPortraitPreview() override { ++portraitPreviewClears; }
  bool HasCatalogPage(const std::string& kind, const std::string& sourceFile) const override {
    if (kind != "T") return false;
    for (const std::string& page : catalogPages)
      if (page == sourceFile) return true;
    return false;
  }
  void ShowCatalogPage(const std::string&, const std::string& sourceFile) override {
    catalogShown.push_back(sourceFile);
  }
};

class FakeDeskView : public IDeskView {
 public:
  std::vector<TRect> shown;
  bool visible = true;
  int busy = 0;
  void ShowRect(const TRect& rect) override { shown.push_back(rect); }
  bool IsShown() const override { return visible; }
  void SetBusyCursor(bool b) override { busy += b ? 1 : -1; }
  void ProcessMessages() override {}
  std::vector<TPoint> popups;
  void OpenPopup(TPoint windowPoint) override { popups.push_back(windowPoint); }
  int cursor = 0;
  void SetDeskCursor(int c) override { cursor = c; }
};

// The main window's part for the mouse tools: serves the mode and tool settings,
// records scrolls (and moves the view) and picked colours.
class FakeToolOwner : public IDeskToolOwner {
 public:
  TDeskMode mode = dmAppearance;
  TDeskToolSettings settings;
  std::vector<TPoint> scrolls;
  std::vector<std::array<int, 3>> colors;

  TDeskMode DeskMode() const override { return mode; }
  TDeskToolSettings ToolSettings() const override { return settings; }
  void ScrollDesk(int left, int top) override {
    scrolls.push_back({left, top});
    TestDeskGeometry().DeskViewLeft = left;
    TestDeskGeometry().DeskViewTop = top;
  }
  void SetBrushColor(int r, int g, int b) override { colors.push_back({r, g, b}); }
  void ShowTip(std::string_view) override {}
};

// Desk geometry for tests: a window of `w` x `h` showing the canvas at scale 1
// from its top-left corner, and export values reset.
inline void SetSmallDesk(int w = 40, int h = 30, int tableW = 60, int tableH = 50) {
  SetProgramFolders({});
  TDeskGeometry& g = TestDeskGeometry();
  g = TDeskGeometry();
  g.DesktopWindowWidth = w;
  g.DesktopWindowHeight = h;
  g.DesktopTableWidth = tableW;
  g.DesktopTableHeight = tableH;
  g.DeskScale = 1.0;
  g.DeskViewLeft = g.DeskViewTop = 0;
  g.DeskViewWidth = w;
  g.DeskViewHeight = h;
}

// A desk with a recording owner and view.
struct DeskFixture {
  FakeDeskOwner owner;
  FakeDeskView view;
  TMontageDesk desk{owner};

  DeskFixture() { desk.SetView(&view); }

  // A layer of w x h pixels of `color` at (left, top), rendered for the desk,
  // inserted by its level; returns it.
  TLayer& Add(int w, int h, TColor32 color, int left = 0, int top = 0, int level = 0,
              const std::string& caption = "Layer") {
    auto layer = std::make_unique<TLayer>(desk, TBitmap32(w, h, color), TNewLayer{caption});
    layer->Left = left;
    layer->Top = top;
    layer->SetLevel(level);
    layer->Render(desk.DeskFrame());
    TLayer& ref = *layer;
    desk.InsertLayer(std::move(layer));
    return ref;
  }
};
