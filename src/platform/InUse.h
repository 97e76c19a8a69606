#pragma once
// An object the whole program reads but only its owner changes, put in use by
// that owner for as long as a TInUse lives: the program's run puts its own in
// use, a test its own. The object in use before comes back when it ends.
template <class T>
class TInUse {
 public:
  explicit TInUse(const T& object) : previous_(current_) { current_ = &object; }
  ~TInUse() { current_ = previous_; }
  TInUse(const TInUse&) = delete;
  TInUse& operator=(const TInUse&) = delete;

  // The object of the innermost TInUse alive; null when none is.
  static const T* Current() { return current_; }

 private:
  // Set only by the owners' TInUse objects, in their scopes.
  inline static const T* current_ = nullptr;
  const T* previous_;
};
