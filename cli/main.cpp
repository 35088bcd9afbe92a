#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "last_chance.h"
#include "text_codec.h"

int main(int argc, char** argv) {
  framefit::InstallLastChance({});  // a fault is reported on standard error; no window to show it in
  framefit::SetUpTextLocale();
  return framefit::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
