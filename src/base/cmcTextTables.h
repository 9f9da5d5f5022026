#pragma once
// The process-wide overlay tables: the main text table (every GI_ key of the chosen
// language), the language list table and the help text table. The start-up creates them
// and installs them here; code of every layer reads its texts through MainText().
// Reading a table that was not installed is a definition error and stops the program.
class cmcGTex;
class cmcHelpGTex;

cmcGTex& MainText();
cmcGTex& LanguageText();
cmcHelpGTex& HelpText();

// Installs the tables (not owned); nullptr uninstalls.
void cmcSetTextTables(cmcGTex* main, cmcGTex* language, cmcHelpGTex* help);
