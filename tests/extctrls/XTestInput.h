// Keys and mouse buttons played on an X server through XTest, as a user would press them.
// Kept apart from the tests' sources, so that Xlib's names and macros never meet the class
// library's.
#pragma once

class TXTestInput {
public:
  explicit TXTestInput(const char* Server);
  ~TXTestInput();
  TXTestInput(const TXTestInput&) = delete;
  TXTestInput& operator=(const TXTestInput&) = delete;

  bool Ok() const { return FDisplay != nullptr; }
  enum : unsigned { None = 0, Shift = 1, Control = 2 };
  // Presses and releases the key of the keysym named Name ("a", "space", "End" ...) with the
  // modifiers held.
  void Key(const char* Name, unsigned Modifiers = None);
  // Moves the pointer to the screen point and clicks the button (1 left, 3 right) with the
  // modifiers held.
  void Click(int X, int Y, int Button, unsigned Modifiers = None);

private:
  void* FDisplay = nullptr;
};
