// Several help files in one go: the help-file field's list, and the folder
// of its own inside the destination that each is decompiled in.
#pragma once

#include <string>
#include <vector>

// The help-file field's text: several paths, each in double quotation marks,
// separated by blanks; or one path as it stands, quoted or not. No when the
// quotation marks do not pair up so.
bool SplitHelpFileList(const std::wstring& text, std::vector<std::wstring>& paths);

// Makes AppState.helpFileList the field's text for PATHS, in their order:
// one as it stands, several each in double quotation marks with a blank
// between. No, and an empty list, when there are more than kMaxHelpFiles.
bool StoreHelpFileList(const std::vector<std::string>& paths);

// Readies help file INDEX of AppState.batch to run in AppState.destDir (our
// own current folder for "NONE"): a path that names no drive or server is
// taken from there, as a single run's help file is, and its folder there is
// named after it without its extension; where an earlier help file of the
// batch has that name, "NAME (2)", "NAME (3)". No when a path would pass
// 259 characters; the help file is then left as it was given.
bool PlanBatchFile(int index);
