#pragma once
// Applying the interface info's parameters of a window's section to the window
// and its controls.
#include <QColor>
#include <string>

class QObject;
class QWidget;

// Controls of higher layers (picture buttons, sliders) take the parameters only
// they know through this interface.
class IInterfaceTarget {
 public:
  virtual ~IInterfaceTarget() = default;
  // Applies the parameter (Param upper-cased); true when it was one of its own.
  virtual bool SetInterfaceParam(const std::string& param, const std::string& value) = 0;
  // After every parameter of the window was applied (buttons fit their frames).
  virtual void InterfaceApplied() {}
};

// Every entry of the section named like the window (its objectName, ignoring
// case), in file order, to the window or to its component of the entry's object
// name at any depth; unknown objects are ignored.
void ApplyInterface(QWidget* form);
// Only the entries of `form`'s section for `component` (made after the window
// took its interface).
void ApplyInterfaceTo(QWidget& form, QObject& component);
void SetControlParam(QObject& control, const std::string& param, const std::string& value);

// A colour in the class library's 0x00BBGGRR encoding.
QColor ColorFromBgr(int value);
