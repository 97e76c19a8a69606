#pragma once
// A desk of real layers and a window that behave like the program's: the layers
// report to the main window's state, and the fake sliders fire their change
// handlers whenever their value changes, as the real controls do.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/FakeLayerHost.h"
#include "editor/MainState.h"
#include "editor/TemplateBase.h"
#include "shell/MainSettings.h"

class FakeMainDesk : public IMainDesk, public FakeLayerHost {
 public:
  TMainState* state = nullptr;
  std::vector<std::unique_ptr<TLayer>> layers;
  int selectedIndex = -1;
  bool portrait = false;
  bool viewBitmap = false;
  bool warpField = false;
  int cursor = -1;
  int rebuilds = 0, placements = 0, repaints = 0, recomposes = 0;
  std::vector<std::pair<int, int>> moves;
  std::vector<int> deleted;
  std::vector<std::string> kindsDeleted;

  TLayer& Add(int width = 8, int height = 6) {
    TBitmap32 picture(width, height, Color32(200, 100, 50, 255));
    layers.push_back(std::make_unique<TLayer>(static_cast<ILayerHost&>(*this), picture));
    return *layers.back();
  }
  void Select(int index) {
    selectedIndex = index;
    selected = index >= 0 ? layers[index].get() : nullptr;
  }

  // IMainDesk
  int LayerCount() const override { return static_cast<int>(layers.size()); }
  TLayer& Layer(int index) override { return *layers.at(index); }
  int SelectedIndex() const override { return selectedIndex; }
  bool HasPortraitLayer() const override { return portrait; }
  bool DeskVisible() const override { return deskVisible; }
  void MoveLayer(int from, int to) override { moves.emplace_back(from, to); }
  void DeleteLayer(int index) override { deleted.push_back(index); }
  void DeleteLayersByKind(const std::string& letter, int, bool) override { kindsDeleted.push_back(letter); }
  void ToggleLayerVisibility(int index) override { layers.at(index)->SetVisible(!layers.at(index)->Visible()); }
  bool HasViewBitmap() const override { return viewBitmap; }
  void ClearViewBitmap() override { viewBitmap = false; }
  void RebuildViewBitmap() override {
    ++rebuilds;
    viewBitmap = true;
  }
  void PlaceViewBitmap(int, int) override { ++placements; }
  void RepaintDesk() override { ++repaints; }
  void RecomposeDesk() override { ++recomposes; }
  void SetWarpFieldAllocated(bool allocated) override { warpField = allocated; }
  void SetDeskCursor(int c) override { cursor = c; }

  // ILayerHost: the layers talk to the main window's state, as in the program.
  void SetChanged(TChangeKind code) override {
    FakeLayerHost::SetChanged(code);
    if (state) state->SetChanged(code);
  }
  void LayerShown(const TLayer& layer, TLayerShown what) override {
    const std::size_t before = shown.size();
    FakeLayerHost::LayerShown(layer, what);
    if (state && shown.size() > before) ShowLayer(*state, layer, shown.back().what);
  }
  void SetUndoPending(bool pending) override { undoPending = pending; }
};

class FakeMainView : public IMainView {
 public:
  TMainState* state = nullptr;
  std::vector<TControlsPlan> plans;
  std::array<int, kValueSliderCount> sliders{50, 50, 50, 100, 100, 100, 100, 100};
  TSliderRange hpos, vpos;
  std::vector<std::string> tips;
  std::vector<std::string> questions;
  bool answer = true;
  int paletteRefreshes = 0;
  bool minimized = false;
  int flipTag = 1;

  void ApplyControls(const TControlsPlan& plan) override { plans.push_back(plan); }
  void FillControlsInput(TControlsInput& input) const override { input.FlipTag = flipTag; }
  void ShowValueSliders(const TColorValues& values) override {
    // Each slider fires its change handler when its value changes.
    for (int s = 0; s < kValueSliderCount; ++s) {
      const int value = ValueOf(values, static_cast<TValueSlider>(s));
      if (sliders[s] == value) continue;
      sliders[s] = value;
      if (state) state->ValueSliderChanged(static_cast<TValueSlider>(s), value);
    }
  }
  void ShowLayerLabel(const std::string&) override {}
  void ShowScrollSliders(const TSliderRange& h, const TSliderRange& v) override {
    hpos = h;
    vpos = v;
  }
  void ShowTip(std::string_view page) override { tips.emplace_back(page); }
  void RefreshPalette() override { ++paletteRefreshes; }
  void ProcessMessages() override {}
  int AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answer ? 6 : 7;
  }
  void MinimizeApplication() override { minimized = true; }

  // The user moves a slider: its value changes and its handler runs.
  void Drag(TValueSlider s, int value) {
    sliders[s] = value;
    state->ValueSliderChanged(s, value);
  }
};

class MainStateTest : public ::testing::Test {
 protected:
  explicit MainStateTest(const TDeskGeometry& geometry = {}) : state(view, geometry, templates, content) {
    state.AttachDesk(desk);
    desk.state = &state;
    view.state = &state;
  }
  FakeMainDesk desk;
  FakeMainView view;
  TTemplateBase templates;
  TContentFolders content;
  TMainState state;
};
