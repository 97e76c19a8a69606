#include "picture/Layer.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "picture/BitmapRoutines.h"
#include "picture/Bmp32.h"
#include "picture/ColorStages.h"
#include "picture/Lead.h"
#include "picture/PsdFile.h"
#include "platform/Numeric.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace {

constexpr TPoint kNoPoint{-1, -1};

// The map turned with the picture: each group of three region bits travels as the
// colour channels of an opaque picture through the picture's own rotation, so the
// regions land exactly where RotateBitmap puts their pixels.
TMaskA RotatedMap(const TMaskA& map, int angle) {
  std::uint8_t used = 0;
  for (std::uint8_t cell : map.Bytes()) used |= cell;
  TBitmap32 probe(map.Width(), map.Height());
  TBitmap32 turned = RotateBitmap(probe, -angle, map.Width() / 2, map.Height() / 2);
  TMaskA out(turned.Width(), turned.Height());
  for (int first = 0; first < 8 && used; first += 3) {
    if (!(used & (0x7u << first))) continue;
    for (int y = 0; y < map.Height(); ++y) {
      const std::uint8_t* cells = map.Row(y);
      std::uint8_t* p = probe.Row(y);
      for (int x = 0; x < map.Width(); ++x, p += 4) {
        for (int c = 0; c < 3; ++c) p[c] = (cells[x] >> (first + c)) & 1 ? 255 : 0;
        p[3] = 255;
      }
    }
    turned = RotateBitmap(probe, -angle, map.Width() / 2, map.Height() / 2);
    if (turned.Width() != out.Width() || turned.Height() != out.Height()) return out;
    for (int y = 0; y < out.Height(); ++y) {
      const std::uint8_t* p = turned.Row(y);
      std::uint8_t* cells = out.Row(y);
      for (int x = 0; x < out.Width(); ++x, p += 4) {
        if (p[3] < 128) continue;
        for (int c = 0; c < 3 && first + c < 8; ++c)
          if (p[c] >= 128) cells[x] |= std::uint8_t(1u << (first + c));
      }
    }
  }
  return out;
}

}  // namespace

TLayer::TLayer(ILayerHost& host, const TBitmap32& source, const TNewLayer& given) : host_(host) {
  Init(source, nullptr, given.Caption);
  // A picture from memory has no mask file: its regions start empty.
  Mask.SetBitmap(&Picture);
  if (!given.KeepAlpha) SetAlpha(Picture, 255);
  SetEditMode(emCreated);
}

TLayer::TLayer(ILayerHost& host) : host_(host) {}

TFileResult<std::unique_ptr<TLayer>> TLayer::CreateFromFile(ILayerHost& host, const std::string& fileName,
                                                            const std::vector<std::string>& contentFolders) {
  const std::string ext = LowerAscii(ExtractFileExt(fileName));
  TBitmap32 picture;
  // Any other element picture goes through the imaging library.
  if (ext == ".psd" || ext == ".fll" || ext == ".fcc") {
    if (TFileResult<> loaded = LoadPsdPicture(fileName, picture); !loaded) return loaded.Error();
  } else if (TFileResult<TBitmap32> read = ReadImageFile(fileName); read) {
    picture = *std::move(read);
  } else {
    return read.Error();
  }
  // The loaders stop their own running out of memory; the layer's copies of the
  // picture stop here.
  try {
    std::unique_ptr<TLayer> layer(new TLayer(host));
    layer->Init(std::move(picture), nullptr);
    std::string source = fileName;
    for (const std::string& folder : contentFolders) source = RemoveFirstNoCase(source, folder);
    layer->SourceFile = source;
    layer->LoadElementMask(fileName);
    layer->SetEditMode(emCreated);
    return layer;
  } catch (const std::bad_alloc&) {
    return FileError(TFileFault::CannotRead, fileName, ENOMEM);
  }
}

TFileResult<std::unique_ptr<TLayer>> TLayer::CreateFromStorage(ILayerHost& host, ILayerStorage& storage,
                                                               const TLayerRecord& record) {
  const std::string name = record.Id + ".bmp";
  std::optional<TBitmap32> decoded = storage.TakePicture(record.Id);
  if (!decoded) {
    std::optional<std::vector<std::uint8_t>> bytes = storage.ReadStream(name);
    if (!bytes) return FileError(TFileFault::Damaged, name, 0, "Stream " + name + " is missing");
    TFileResult<TBitmap32> read = DecodeBmp32(*bytes);
    if (!read) return FileError(TFileFault::Damaged, name, 0, "Stream " + name + " is not a valid bitmap");
    decoded = *std::move(read);
  }
  std::unique_ptr<TLayer> layer(new TLayer(host));
  layer->Init(std::move(*decoded), &record);
  if (std::optional<TMaskStreamContent> mask = storage.TakeMask(record.Id)) {
    layer->Mask.SetBitmap(&layer->Picture, std::move(*mask));
  } else {
    layer->Mask.SetBitmap(&layer->Picture);
    // A work saved without regions has an empty mask stream: the map stays empty.
    if (std::optional<std::vector<std::uint8_t>> stream = storage.ReadStream(record.Id + ".msk"))
      layer->Mask.LoadFromStream(*stream);
  }
  layer->Mask.GetUsedRegions();
  layer->Mask.FileName = record.Id + ".msk";
  layer->SetEditMode(emCreated);
  return layer;
}

// The ".msk" beside an element picture: in the picture's folder, named after the
// picture's own name cut at its first "." ("Bob.curly.psd" has "Bob.msk"), as the
// stored templates are named; a missing, damaged or wrong-sized file leaves the
// regions empty.
void TLayer::LoadElementMask(const std::string& fileName) {
  const std::size_t nameStart = fileName.find_last_of("/\\") + 1;  // 0 without a folder
  Mask.SetBitmap(&Picture);
  Mask.LoadFromFile(fileName.substr(0, fileName.find('.', nameStart)) + ".msk");
  Mask.GetUsedRegions();
}

void TLayer::Init(TBitmap32 source, const TLayerRecord* record, const std::string& caption) {
  Picture = std::move(source);
  if (record) {
    Id = host_.LayerIdExists(record->Id) ? host_.NewLayerId() : record->Id;
    Caption = record->Caption;
    TypeId = record->TypeId;
    Left = record->Left;
    Top = record->Top;
    visible_ = record->Visible;
    values_ = record->Values;
    level_ = record->Level;
    SourceFile = record->SourceFile;
  } else {
    Id = host_.NewLayerId();
    Caption = caption;
    SourceFile.clear();
    TypeId = -1;
    Left = Top = 0;
    visible_ = true;
    values_ = TColorValues{};
    level_ = 0;
  }
  RotationCenter = kNoPoint;
  angle_ = 0;
  view_.Clear();
  output_.Clear();
  Mask.OnChange = [this] { MaskChanged(); };
}

void TLayer::SetWidth(int width) {
  if (width >= 0 && width != Width()) Picture.SetSize(width, std::max(Picture.Height(), 0));
}

void TLayer::SetHeight(int height) {
  if (height >= 0 && height != Height()) Picture.SetSize(std::max(Picture.Width(), 0), height);
}

TRect TLayer::ViewRect() const {
  if (view_.State == rsNothing) return {};
  return Bounds(view_.Pos.X, view_.Pos.Y, view_.Bitmap.Width(), view_.Bitmap.Height());
}

void TLayer::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  host_.SetChanged(ckVisibility);
  InvalidateOnDesk();
}

void TLayer::SetColourValue(int TColorValues::*field, int value) {
  if (values_.*field == value) return;
  values_.*field = value;
  host_.SetChanged(ckPixels);
  Render(deskFrame_);
  InvalidateOnDesk();
}

void TLayer::SetOpacity(std::uint8_t v) {
  if (values_.Opacity == v) return;
  values_.Opacity = v;
  host_.SetChanged(ckPixels);
  InvalidateOnDesk();
}

void TLayer::LookChanged() { host_.LayerShown(*this, TLayerShown::Look); }

void TLayer::InvalidateOnDesk() {
  LookChanged();
  if (view_.State != rsNothing) host_.InvalidateDesk(ViewRect());
}

void TLayer::RepaintUnion(const TRect& before, bool clipToWindow) {
  TRect area = UnionRects(before, ViewRect());
  if (clipToWindow) area = IntersectRects(area, {0, 0, deskFrame_.WindowWidth, deskFrame_.WindowHeight});
  if (!area.IsEmpty()) host_.InvalidateDesk(area);
}

TBitmap32 TLayer::RenderedPicture() const {
  if (Picture.Empty()) return {};
  TBitmap32 target(Picture.Width(), Picture.Height());
  TColorStages stages(Picture, values_, &Mask);
  RenderLayerPixels(Picture, {0, 0, Picture.Width(), Picture.Height()}, Mask.GetMap(), stages, target);
  return target;
}

void TLayer::Render(const TViewFrame& frame) {
  deskFrame_ = frame;
  RenderInto(view_, frame, frame.Scale);
}

void TLayer::RenderExport(const TViewFrame& frame) { RenderInto(output_, frame, 1.0); }

void TLayer::RenderInto(TLayerRendering& rendering, const TViewFrame& frame, double s) {
  TBitmap32& target = rendering.Bitmap;
  auto nothing = [&] { rendering.Clear(); };
  const int ww = frame.WindowWidth, wh = frame.WindowHeight;
  // A zero scale or an empty target has nothing to show.
  if (!(s > 0) || ww <= 0 || wh <= 0 || Picture.Empty()) return nothing();
  const TRect& view = frame.View;
  const int w = Picture.Width(), h = Picture.Height();
  TPoint newPos;
  int tw, th;
  TRect source;
  TRenderState newState;
  if ((w / s) * (h / s) <= 2.0 * ww * wh) {
    newPos = {RoundInt((Left - view.Left) / s), RoundInt((Top - view.Top) / s)};
    tw = RoundInt(w / s);
    th = RoundInt(h / s);
    source = {0, 0, w, h};
    newState = rsWhole;
  } else {
    const TRect part = IntersectRects(Bounds(Left, Top, w, h), view);
    if (part.IsEmpty()) return nothing();
    const int left = part.Left == view.Left ? 0 : RoundInt((part.Left - view.Left) / s);
    const int top = part.Top == view.Top ? 0 : RoundInt((part.Top - view.Top) / s);
    const int right = part.Right == view.Right ? ww : RoundInt((part.Right - view.Left) / s);
    const int bottom = part.Bottom == view.Bottom ? wh : RoundInt((part.Bottom - view.Top) / s);
    newPos = {left, top};
    tw = right - left;
    th = bottom - top;
    source = part.Offset(-Left, -Top);
    newState = rsPart;
  }
  if (tw <= 0 || th <= 0) return nothing();
  TColorStages stages(Picture, values_, &Mask);
  if (stages.Neutral() && tw == w && th == h && source == TRect{0, 0, w, h}) {
    // The rendering would be a copy of the picture: it shares the picture's pixels.
    target = Picture.Share();
    rendering.Spans = MeasureAlphaSpans(target);
  } else {
    // Every pixel of the rendering is written: a new one need not be cleared first.
    if (target.Width() != tw || target.Height() != th || target.Shared()) target = TBitmap32::ForOverwrite(tw, th);
    if (target.Empty()) return nothing();
    rendering.Spans.resize(std::size_t(th));
    RenderLayerPixels(Picture, source, Mask.GetMap(), stages, target, rendering.Spans.data());
  }
  rendering.Pos = newPos;
  rendering.State = newState;
  rendering.SourceRect = source;
}

bool TLayer::ScrollView(const TViewFrame& frame) {
  if (view_.State != rsWhole) {
    Render(frame);
    return false;
  }
  deskFrame_ = frame;
  const double scale = frame.Scale;
  const TRect& view = frame.View;
  view_.Pos = {RoundInt(Left / scale) - RoundInt(view.Left / scale), RoundInt(Top / scale) - RoundInt(view.Top / scale)};
  return true;
}

bool TLayer::MoveView() {
  if (view_.State != rsWhole) return false;
  const TRect& view = deskFrame_.View;
  view_.Pos = {RoundInt((Left - view.Left) / deskFrame_.Scale), RoundInt((Top - view.Top) / deskFrame_.Scale)};
  return true;
}

void TLayer::SetEditMode(TEditMode mode) {
  // A new layer and an undone series always start afresh; an edit series goes on.
  if (mode == editMode_ && mode != emUndone && mode != emCreated) return;
  if (editMode_ == emRotate) angle_ = 0;
  // Most layers are never edited: the base holds the picture's own pixels until
  // one of the two is written.
  BasePicture = Picture.Share();
  baseMask_ = Mask.GetMap().Share();
  derivedRevision_ = Mask.Revision();
  editMode_ = mode;
}

void TLayer::RebindMask() {
  if (Mask.Revision() != derivedRevision_) {
    // The regions were edited since they were derived from the base: those edits
    // become the base, brought back to the base picture's geometry.
    TMaskA current = Mask.GetMap();
    if (angle_ != 0) {
      const TMaskA back = RotatedMap(current, -angle_);
      const int dx = (back.Width() - BasePicture.Width()) / 2, dy = (back.Height() - BasePicture.Height()) / 2;
      current = TMaskA(BasePicture.Width(), BasePicture.Height());
      for (int y = 0; y < current.Height() && back.HasCells(); ++y)
        for (int x = 0; x < current.Width(); ++x) {
          const int bx = x + dx, by = y + dy;
          if (bx >= 0 && by >= 0 && bx < back.Width() && by < back.Height()) current.At(x, y) = back.At(bx, by);
        }
    }
    baseMask_ = current.Resampled(BasePicture.Width(), BasePicture.Height());
  }
  if (angle_ != 0 && editMode_ == emRotate) {
    Mask.SetBitmap(&Picture, RotatedMap(baseMask_, angle_));
  } else {
    Mask.SetBitmap(&Picture, baseMask_);
  }
  derivedRevision_ = Mask.Revision();
}

void TLayer::FlipHorizontally() {
  FlipBitmap(Picture, kFlipLeftRight);
  Mask.FlipHorizontally();
  derivedRevision_ = Mask.Revision();
}

void TLayer::SetAngle(int angle) {
  angle %= 360;
  if (angle == angle_) return;
  const TRect before = ViewRect();
  angle_ = angle;
  if (editMode_ != emRotate) {
    SetEditMode(emRotate);
    RotationCenter = {BasePicture.Width() / 2 + Left, BasePicture.Height() / 2 + Top};
  }
  TBitmap32 turned;
  if (angle_ != 0) turned = RotateBitmap(BasePicture, -angle_, BasePicture.Width() / 2, BasePicture.Height() / 2);
  Picture = turned.Empty() ? BasePicture.Share() : std::move(turned);
  RebindMask();
  host_.SetChanged(ckLayerRotated);
  Left = RotationCenter.X - Picture.Width() / 2;
  Top = RotationCenter.Y - Picture.Height() / 2;
  Render(deskFrame_);
  RepaintUnion(before, true);
  LookChanged();
}

void TLayer::MoveBy(int dx, int dy) {
  SaveUndo(lhkMove, true);
  host_.SetChanged(ckLayerMoved);
  const TRect before = ViewRect();
  if (editMode_ == emRotate) RotationCenter = {RotationCenter.X + dx, RotationCenter.Y + dy};
  Left += dx;
  Top += dy;
  if (!MoveView()) Render(deskFrame_);
  RepaintUnion(before, false);
}

void TLayer::ResetAdjustments() {
  host_.SetChanged(ckLayerReset);
  const int remembered = Mask.GetRegionIndex();
  auto onChange = std::move(Mask.OnChange);
  Mask.OnChange = nullptr;
  Mask.SetRegionIndex(0);
  SaveUndo(lhkResetLayer, false);
  values_ = TColorValues{};
  if (remembered == 0) host_.LayerShown(*this, TLayerShown::Values);
  for (int r = 1; r <= TMask::kRegionCount; ++r) {
    if (Mask.RegionValues(r).IsNeutral()) continue;
    Mask.SetRegionIndex(r);
    SaveUndo(lhkResetRegion, false);
    Mask.SetRegionValues(r, TColorValues{});
    if (r == remembered) host_.LayerShown(*this, TLayerShown::Values);
  }
  Mask.SetRegionIndex(remembered);
  Mask.OnChange = std::move(onChange);
  Render(deskFrame_);
  InvalidateOnDesk();
}

std::string TLayer::GetKindLetter(const std::optional<std::string>& typeLetter) const {
  if (TypeId < 0) return "???";
  if (TypeId == 0) return "F";
  if (!typeLetter) return "F";
  for (const char* kind : {"F", "B", "N"})
    if (EqualsNoCase(*typeLetter, kind)) return *typeLetter;
  return "F";
}

void TLayer::MaskChanged() {
  host_.LayerShown(*this, TLayerShown::Region);
}

void TLayer::ShowAsSelected() { host_.LayerShown(*this, TLayerShown::Selection); }
