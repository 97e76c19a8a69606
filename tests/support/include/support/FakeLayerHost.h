#pragma once
// A layer host that records what the layer tells it and serves settable state,
// its main-window part for other hosts built on it, and a work storage in memory.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "picture/Layer.h"
#include "picture/LayerHost.h"
#include "picture/LayerStorage.h"
#include "platform/Numeric.h"
#include "platform/Text.h"

class FakeLayerStorage : public ILayerStorage {
 public:
  std::map<std::string, std::vector<std::uint8_t>> streams;  // keys in upper case
  void Put(const std::string& name, std::vector<std::uint8_t> bytes) { streams[UpperAscii(name)] = std::move(bytes); }
  std::optional<std::vector<std::uint8_t>> ReadStream(std::string_view name) override {
    auto it = streams.find(UpperAscii(name));
    if (it == streams.end()) return std::nullopt;
    return it->second;
  }
};

// The main window's part of a layer's or the desk's host: records what it is told
// and serves settable state. `Interface` is IEditingHost or an interface built on it.
template <class Interface>
class FakeEditingHost : public Interface {
 public:
  std::vector<TChangeKind> changes;

  void SetChanged(TChangeKind code) override { changes.push_back(code); }
};

class FakeLayerHost : public FakeEditingHost<ILayerHost> {
 public:
  std::vector<TRect> invalidated;
  struct Shown {
    const TLayer* layer;
    TLayerShown what;
  };
  std::vector<Shown> shown;
  int Count(TLayerShown what) const {
    return static_cast<int>(std::count_if(shown.begin(), shown.end(), [what](const Shown& s) { return s.what == what; }));
  }
  // As the desk: a region change shows only on the selected layer of a shown desk.
  void LayerShown(const TLayer& layer, TLayerShown what) override {
    if (what == TLayerShown::Region) {
      if (!deskVisible || selected != &layer) return;
      what = TLayerShown::Selection;
    }
    shown.push_back({&layer, what});
  }

  bool undoPending = false;
  bool TakeUndoPending() override { return std::exchange(undoPending, false); }

  bool deskVisible = true;
  const TLayer* selected = nullptr;
  TViewFrame desk{1.0, 800, 600, {0, 0, 800, 600}};
  TViewFrame exportFrame{1.0, 800, 600, {0, 0, 800, 600}};
  std::set<std::string> ids;  // upper case
  int nextId = 10000000;

  void InvalidateDesk(const TRect& rect) override {
    if (deskVisible) invalidated.push_back(rect);
  }
  bool LayerIdExists(const std::string& id) const override { return ids.count(UpperAscii(id)) > 0; }
  std::string NewLayerId() override {
    std::string id = std::to_string(nextId++);
    ids.insert(id);
    return id;
  }
};
