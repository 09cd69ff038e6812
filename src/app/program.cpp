#include "app/program.h"

namespace app {

Program::Program(ui::Backend& backend, platform::Files& files, platform::Shell& shell)
    : backend(backend),
      files(files),
      shell(shell),
      form1(*this),
      form6(*this),
      form4(*this),
      form7(*this),
      form2(*this, info::form2Design()),
      form3(*this, info::form3Design(), info::form3Load),
      form10(*this, info::form10Design()) {}

void Program::start() {
    form6.load();
}

std::string withFinalBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') {
        folder.push_back('\\');
    }
    return folder;
}

}  // namespace app
