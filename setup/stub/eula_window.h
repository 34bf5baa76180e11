// The licence agreement window: the agreement text in a white viewport with a vertical scroll
// bar; "&Accept" becomes available once the text was scrolled to its end, "&Decline" (or
// closing the window) declines.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

namespace nx::setup::stub {

class EulaWindow {
 public:
  // One scroll step moves the text by this many twips.
  static constexpr int kStepTwips = 240;

  enum class Part { Intro, Advice, Viewport, Text, Scroll, Accept, Decline };

  EulaWindow(HINSTANCE instance, HWND owner);
  ~EulaWindow();
  EulaWindow(const EulaWindow&) = delete;
  EulaWindow& operator=(const EulaWindow&) = delete;

  // Creates the window hidden; false when it cannot be created.
  bool create();
  // EULA_TEXT: sets the agreement text, the scroll range (maximum = (text height − viewport
  // inner height + 60) / 240 rounded, in twips), value 0, and disables "&Accept" unless the
  // text needs no scrolling.
  void setText(std::string_view text);

  // Shows the window (centred over its owner) without waiting.
  bool show();
  // Runs the window modally (its owner disabled) until it is answered or closed; the answer.
  bool runModal();
  // show() and runModal().
  bool showModal();

  // Answer: true only after "&Accept".
  bool answer() const;
  bool answered() const;
  HWND hwnd() const;
  HWND part(Part p) const;
  int scrollMax() const;
  int scrollValue() const;
  // The text's top relative to the viewport, in twips: −(value × 240).
  int textTopTwips() const;
  // The text's full height and the viewport's inner height, in twips.
  int textHeightTwips() const;
  int viewHeightTwips() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// showEula's window: shows `text` modally over `owner`; true when the user accepted.
bool showEulaModal(HWND owner, std::string_view text);

}  // namespace nx::setup::stub
