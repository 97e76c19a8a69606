#include "EyeFinder.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Numeric.h"

struct TEyeFinder::TCascades {
  cv::CascadeClassifier Face;
  cv::CascadeClassifier Eye;
};

namespace {

// Detection runs on a copy no larger than this a side: faces in portraits are large,
// and the cascades' time grows with the area.
constexpr int kWorkSide = 800;
// Where an eye sits in a face box found by the frontal cascade, as fractions of its size.
constexpr double kEyeFromSide = 0.31;
constexpr double kEyeFromTop = 0.39;

cv::Point2d Centre(const cv::Rect& r) { return {r.x + r.width / 2.0, r.y + r.height / 2.0}; }

// The eye candidate in `band` (a part of the face) closest to where the eye is
// expected; the expected point itself when the cascade finds none.
cv::Point2d FindEye(cv::CascadeClassifier& cascade, const cv::Mat& gray, const cv::Rect& band,
                    cv::Point2d expected, int faceWidth) {
  std::vector<cv::Rect> eyes;
  const int minSide = std::max(8, faceWidth / 8);
  cascade.detectMultiScale(gray(band), eyes, 1.05, 3, 0, cv::Size(minSide, minSide),
                           cv::Size(faceWidth / 2, faceWidth / 2));
  cv::Point2d best = expected;
  double bestDistance = faceWidth * 0.2;  // farther than this is another feature
  for (const cv::Rect& eye : eyes) {
    const cv::Point2d c = Centre(eye) + cv::Point2d(band.x, band.y);
    const double distance = std::hypot(c.x - expected.x, c.y - expected.y);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = c;
    }
  }
  return best;
}

}  // namespace

TEyeFinder::TEyeFinder() : cascades_(std::make_unique<TCascades>()) {}
TEyeFinder::~TEyeFinder() = default;

bool TEyeFinder::Load(const std::filesystem::path& folder) {
  std::error_code error;
  const auto face = folder / "haarcascade_frontalface_alt2.xml";
  const auto eye = folder / "haarcascade_eye.xml";
  if (!std::filesystem::is_regular_file(face, error) || !std::filesystem::is_regular_file(eye, error)) return false;
  try {
    return cascades_->Face.load(face.string()) && cascades_->Eye.load(eye.string());
  } catch (const cv::Exception&) {
    return false;
  }
}

TEyeFinding TEyeFinder::Find(const TBitmap32& picture) {
  if (picture.Empty()) return {};
  const cv::Mat bgra(picture.Height(), picture.Width(), CV_8UC4, const_cast<std::uint8_t*>(picture.Bits()),
                     picture.Stride());
  cv::Mat gray;
  cv::cvtColor(bgra, gray, cv::COLOR_BGRA2GRAY);
  const double shrink = std::min(1.0, double(kWorkSide) / std::max(picture.Width(), picture.Height()));
  if (shrink < 1.0) cv::resize(gray, gray, cv::Size(), shrink, shrink, cv::INTER_AREA);
  cv::equalizeHist(gray, gray);

  std::vector<cv::Rect> faces;
  const int minFace = std::max(24, std::min(gray.cols, gray.rows) / 8);
  cascades_->Face.detectMultiScale(gray, faces, 1.1, 4, 0, cv::Size(minFace, minFace));
  if (faces.empty()) return {};
  const cv::Rect face = *std::max_element(faces.begin(), faces.end(),
                                          [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });

  // The eyes lie in the face's upper part; each half is searched on its own so that
  // one eye cannot be found twice.
  const int bandTop = face.y + face.height / 5;
  const int bandHeight = face.height * 2 / 5;
  const int half = face.width / 2;
  const cv::Rect leftBand(face.x, bandTop, half, bandHeight);
  const cv::Rect rightBand(face.x + half, bandTop, face.width - half, bandHeight);
  const double eyeY = face.y + face.height * kEyeFromTop;
  const cv::Point2d pictureLeft =
      FindEye(cascades_->Eye, gray, leftBand, {face.x + face.width * kEyeFromSide, eyeY}, face.width);
  const cv::Point2d pictureRight =
      FindEye(cascades_->Eye, gray, rightBand, {face.x + face.width * (1 - kEyeFromSide), eyeY}, face.width);

  const auto toPicture = [&](double v, int size) { return std::clamp(RoundInt(v / shrink), 0, size - 1); };
  TEyeFinding found;
  found.Detected = true;
  found.RightX = toPicture(pictureLeft.x, picture.Width());
  found.RightY = toPicture(pictureLeft.y, picture.Height());
  found.LeftX = toPicture(pictureRight.x, picture.Width());
  found.LeftY = toPicture(pictureRight.y, picture.Height());
  return found;
}
