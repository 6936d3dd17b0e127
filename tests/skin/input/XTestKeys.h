// Keys played on an X server through XTest, as a user would press them. Kept apart from the
// tests' own sources, so that Xlib's names and macros never meet the class library's.
#pragma once

class TXTestKeys {
public:
  explicit TXTestKeys(const char* Server);
  ~TXTestKeys();
  TXTestKeys(const TXTestKeys&) = delete;
  TXTestKeys& operator=(const TXTestKeys&) = delete;

  // The connection to the server is open.
  bool Ok() const { return FDisplay != nullptr; }
  // Presses and releases the key of the keysym named Name ("a", "slash", "Return", "Down" ...),
  // with Shift held when asked.
  void Key(const char* Name, bool Shift = false);

private:
  void* FDisplay = nullptr;
};
