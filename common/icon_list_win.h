// A list of small icons of one size for list views (an image list).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CIconList {
 public:
  CIconList() = default;
  CIconList(const CIconList&) = delete;
  CIconList& operator=(const CIconList&) = delete;
  // Removes every image, then destroys the list.
  virtual ~CIconList();

  // Records the size and creates the list (room for 1 image, grows by
  // itself); an earlier list is destroyed first. True when created.
  bool Create(int width, int height, UINT flags);
  // Create (n, n, ILC_COLORDDB | ILC_MASK).
  bool CreateSquare(int n);
  // Loads the icon resource at the list's size and appends it. 1 when it was
  // added, 0 when the icon does not load or there is no list.
  int AddIcon(HINSTANCE instance, int resourceId);

  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }
  HIMAGELIST Handle() const { return list_; }
  int Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

 private:
  void Destroy();

  int iconWidth_ = 0;
  int iconHeight_ = 0;
  HIMAGELIST list_ = nullptr;
};
