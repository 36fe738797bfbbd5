#pragma once
// A process-wide table that is never destroyed. Objects with static storage in
// any library (a page's last picture, say) release their handles during static
// destruction, in an order no library controls; the tables they release into
// must still be there.

#include <new>
#include <utility>

template <class T>
class TImmortal {
public:
  template <class... Args>
  explicit TImmortal(Args&&... args) {
    ::new (static_cast<void*>(&FValue)) T(std::forward<Args>(args)...);
  }
  ~TImmortal() {}  // deliberately leaves FValue alive
  TImmortal(const TImmortal&) = delete;
  TImmortal& operator=(const TImmortal&) = delete;
  T& Get() { return FValue; }

private:
  union {
    T FValue;
  };
};
