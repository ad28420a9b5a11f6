// padsign: the publisher's signing tool for updater releases (keys, signed
// PAD files, checks).
#include <string>
#include <vector>

#include "tools/padsign/padsign_commands.h"

int main(int argc, char** argv) {
  return RunPadsign(std::vector<std::string>(argv + 1, argv + argc));
}
