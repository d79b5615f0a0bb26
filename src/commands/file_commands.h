#pragma once

#include <string>
#include <string_view>

namespace ccp {

class TForm1;

// Both dialogs list configuration files by these patterns (.eep and .bin by custom).
inline constexpr std::string_view kConfigFileFilter =
    "Configuration files (*.eep *.bin);;EEP files (*.eep);;BIN files (*.bin);;All files (*)";

// File > Open: loads a configuration file into the image and shows it in the window.
void Open1Click(TForm1& form);
// What File > Open does once the dialog has named the file.
void OpenConfigFile(TForm1& form, const std::string& path);
// File > Save: encodes the window into the image and stores it as a configuration file.
void Save1Click(TForm1& form);

void bindFileCommands(TForm1& form);

}  // namespace ccp
