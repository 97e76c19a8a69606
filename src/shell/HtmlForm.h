#pragma once
// The radio buttons and check boxes of a page, for a viewer that shows no form
// controls: the page's <input type="radio"> and <input type="checkbox"> tags
// become links ("form:" + index) drawn as a mark, and this model keeps their
// state; a click on such a link toggles the control, and the page is drawn again
// from the model.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct THtmlControl {
  enum class TKind { Radio, CheckBox };
  TKind Kind = TKind::CheckBox;
  std::string Name;   // as written in the page
  std::string Value;  // "on" when the page gives none
  bool Checked = false;
  bool DefaultChecked = false;  // as the page wrote it
};

class THtmlForm {
 public:
  // Takes a page; its controls start as the page checks them.
  void Load(std::string_view html);
  void Clear() { *this = THtmlForm(); }
  bool Empty() const { return controls_.empty(); }

  // The page with each control as a link drawn in its current state.
  std::string Render() const;

  const std::vector<THtmlControl>& Controls() const { return controls_; }
  // A check box flips; a radio button is checked and the others of its name are
  // not. False when nothing changed (a checked radio button clicked again).
  bool Click(std::size_t index);
  // Sets one control as the program does, without the radio group's rule.
  void SetChecked(std::size_t index, bool checked);
  // Every control back to the page's own checks.
  void Reset();

  // The control a clicked link stands for, nullopt for any other link.
  std::optional<std::size_t> ControlOfLink(std::string_view link) const;

 private:
  std::vector<std::string> text_;  // the page around the controls: one more than controls
  std::vector<THtmlControl> controls_;
};
