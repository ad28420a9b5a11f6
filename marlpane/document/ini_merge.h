// Values changed in one copy of a settings file, written into the file as
// another program has left it since: key by key, so that every change of
// the other program stays. A key both changed, to different values, is a
// conflict that the caller decides.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "marlpane/document/ini_key_lines.h"

class CIniDocument;

struct KeyEdit {
  KeyName name;
  std::u16string loaded;  // the value as it was loaded, blanks around it included
  std::u16string value;   // the new value, without the blanks around it
};

struct KeyConflict {
  size_t edit = 0;             // index into the edits
  std::u16string fileValue;    // the file's value now, without the blanks around it
};

class CKeyMerge {
 public:
  // file holds the settings file as it is now. Finds the key line of every
  // edit in it.
  CKeyMerge(CIniDocument& file, std::vector<KeyEdit> edits);
  virtual ~CKeyMerge() = default;

  // The edits whose key the file holds with a value other than both the
  // loaded one and the edit's (blanks around values do not count).
  const std::vector<KeyConflict>& Conflicts() const { return conflicts_; }
  const KeyEdit& Edit(size_t index) const { return edits_[index]; }

  // Writes the edits into the file's document, each between the blanks the
  // file's line has around its value now; with keepMine false the
  // conflicting edits are left out. A key the file no longer holds is added
  // back as the line it was (key and blanks as written), where AddKeyLine
  // puts a new key. False when the document refuses a change.
  bool Apply(bool keepMine);

 private:
  CIniDocument& file_;
  std::vector<KeyEdit> edits_;
  std::vector<KeyLineSpot> spots_;
  std::vector<bool> found_;
  std::vector<bool> conflicting_;
  std::vector<KeyConflict> conflicts_;
};
