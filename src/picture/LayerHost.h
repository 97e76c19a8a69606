#pragma once
// What a layer tells the desk above it: a change kind, a rectangle to repaint,
// which of its shown parts changed; and the id bookkeeping it asks for. The view
// frames it renders for are handed to it. The desk implements it and turns what
// a layer shows into the main window's labels, sliders and controls; tests use a
// recording fake.
#include <cstdint>
#include <string>

#include "picture/ChangeKind.h"
#include "platform/Geometry.h"

class TLayer;

// What a layer shows of itself changed: its values (the sliders), its caption or
// current region (the label and the sliders), its history (the undo controls), or
// its look (its picture as its colours make it: the thumbnail). Region: its
// mask's current region changed, which matters only while it is the selected
// layer of a shown desk (then it is shown as Selection is).
enum class TLayerShown : std::uint8_t { Values, Selection, History, Look, Region };

// Where a rendering goes: `Scale` canvas pixels per target pixel, a target window
// of WindowWidth x WindowHeight showing the canvas rectangle `View`.
struct TViewFrame {
  double Scale = 1.0;
  int WindowWidth = 0;
  int WindowHeight = 0;
  TRect View;
};

// What a layer, and the desk that holds it, tell the main window: that the work
// changed, and how. The main window implements it.
class IEditingHost {
 public:
  virtual ~IEditingHost() = default;

  // The main window's change notification.
  virtual void SetChanged(TChangeKind code) = 0;
};

// What a layer tells the desk above it besides the main window's part: what it
// shows and repaints; and what it asks: the gesture under way and id bookkeeping.
class ILayerHost : public IEditingHost {
 public:
  virtual void LayerShown(const TLayer& layer, TLayerShown what) = 0;
  // A rectangle of the desk window to repaint; a hidden desk ignores it.
  virtual void InvalidateDesk(const TRect& rect) = 0;
  // Whether a gesture waits for its first history item; the answer clears it.
  virtual bool TakeUndoPending() = 0;

  // Layer ids: the test ignores case; a new id is 8 random digits not in use.
  virtual bool LayerIdExists(const std::string& id) const = 0;
  virtual std::string NewLayerId() = 0;
};
