#pragma once
// Makes the program's Qt prompts show the import dialogs (TForm10, TForm11) and the option
// dialog of the export commands.
namespace rovik {

void registerImportDialogs();

} // namespace rovik
