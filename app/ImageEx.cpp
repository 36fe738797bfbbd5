#include "app/ImageEx.h"

void TImageEx::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TImageEx::DoMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}
