#pragma once
// Makes the program's Qt prompts show the import dialogs (TForm10, TForm11).
namespace rovik {

void registerImportDialogs();

} // namespace rovik
