#pragma once
// What a layer needs from the main window and the desk above it: change
// notification, slider and label updates, repaints, id bookkeeping, and the shared
// state it reads (desk geometry, the new-layer defaults, the undo gesture flag).
// The desk implements it; tests use a recording fake.
#include <optional>
#include <string>
#include <vector>

#include "picture/ChangeKind.h"
#include "platform/Geometry.h"

class TLayer;
class TMask;

// Where a rendering goes: `Scale` canvas pixels per target pixel, a target window
// of WindowWidth x WindowHeight showing the canvas rectangle `View`.
struct TViewFrame {
  double Scale = 1.0;
  int WindowWidth = 0;
  int WindowHeight = 0;
  TRect View;
};

// What a layer, and the desk that holds it, need from the main window: change
// notification, slider and label updates, and the shared state of a new layer and
// of the undo gesture. The main window implements it.
class IEditingHost {
 public:
  virtual ~IEditingHost() = default;

  // The main window's change notification.
  virtual void SetChanged(TChangeKind code) = 0;
  // Refreshes the enabled state of the undo and layer controls.
  virtual void SetControls() = 0;
  // The sliders show `layer`'s own values, or with `mask` its current region's.
  virtual void ShowLayerValues(const TLayer& layer, const TMask* mask) = 0;
  // The layer label of the main window.
  virtual void ShowLayerLabel(const std::string& text) = 0;
  // The word before a region number in labels ("Region").
  virtual std::string RegionWord() const = 0;

  virtual int NewLayerType() const = 0;
  virtual void SetNewLayerType(int type) = 0;
  virtual std::string NewLayerCaption() const = 0;
  virtual bool SourceHasAlpha() const = 0;
  // Returns UndoPending and clears it.
  virtual bool TakeUndoPending() = 0;
  // The letter of the template type with that number, nullopt when none has it.
  virtual std::optional<std::string> TemplateTypeLetter(int typeId) const = 0;
  // HDPath, CDPath, ExePath: the content folders removed from a layer's source file.
  virtual std::vector<std::string> ContentFolders() const = 0;
};

// What a layer needs from the desk above it besides the main window's part:
// repaints, id bookkeeping and the desk geometry.
class ILayerHost : public IEditingHost {
 public:
  virtual bool DeskVisible() const = 0;
  virtual bool IsSelectedLayer(const TLayer& layer) const = 0;
  // Repaints a rectangle of the desk window.
  virtual void InvalidateDesk(const TRect& rect) = 0;
  // Desk-window position of a canvas offset from the view's top-left.
  virtual TPoint ImageToDesk(TPoint offset) const = 0;

  // Layer ids: the test ignores case; a new id is 8 random digits not in use.
  virtual bool LayerIdExists(const std::string& id) const = 0;
  virtual std::string NewLayerId() = 0;

  // Shared state.
  virtual TViewFrame DeskFrame() const = 0;    // DeskScale, desk window, desk view
  virtual TViewFrame ExportFrame() const = 0;  // scale 1, export size, export source rectangle
  virtual int DesktopTableWidth() const = 0;
  virtual int DesktopTableHeight() const = 0;
};
