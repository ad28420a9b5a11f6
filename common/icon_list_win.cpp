#include "common/icon_list_win.h"

CIconList::~CIconList() { Destroy(); }

void CIconList::Destroy() {
  if (!list_) return;
  ImageList_Remove(list_, -1);
  ImageList_Destroy(list_);
  list_ = nullptr;
}

bool CIconList::Create(int width, int height, UINT flags) {
  Destroy();
  iconWidth_ = width;
  iconHeight_ = height;
  list_ = ImageList_Create(width, height, flags, 1, 0);
  return list_ != nullptr;
}

bool CIconList::CreateSquare(int n) { return Create(n, n, ILC_COLORDDB | ILC_MASK); }

int CIconList::AddIcon(HINSTANCE instance, int resourceId) {
  if (!list_) return 0;
  HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                             iconWidth_, iconHeight_, LR_DEFAULTCOLOR));
  if (!icon) return 0;
  const int index = ImageList_ReplaceIcon(list_, -1, icon);
  // The list keeps its own copy of the image.
  DestroyIcon(icon);
  return index >= 0 ? 1 : 0;
}
