// vantorel-sim: the headless companion of the game. It works on the game's
// files exactly as the game does (or on --data DIR), prints
// JSON on standard output and reports an error as one line on standard error
// with exit status 2, having written nothing.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "club/Ustream.h"
#include "tools/sim/Sim.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    std::string out = RunSim(args);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return 0;
  } catch (const std::exception& e) {
    if (const auto* f = dynamic_cast<const SimFailure*>(&e)) {
      std::fwrite(f->Report().data(), 1, f->Report().size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
    }
    std::string msg = e.what();
    for (char& c : msg)
      if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "vantorel-sim: %s\n", msg.c_str());
    return 2;
  }
}
