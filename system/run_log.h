// The account of a run that "/LOG=file" asks for: plain text in the ANSI code
// page, one line per event, each with its time, so that an administrator
// reads in an editor what a run on a machine nobody watched did. Every line
// goes to the file at once: a run that ends at any point leaves its account
// up to there.
#pragma once

#include <string>

// The lines of an entry: the first after its time, the continuation lines of
// a text with line breaks (a message's carriage returns) indented below it.
// Lines end in CR LF; empty lines of the text are dropped.
std::string RunLogEntry(const std::string& time, const std::string& text);

// A message as the account names it: what the box would have shown, and
// when nobody sees boxes, the answer the run gave in its place ("" for a
// box that was shown).
std::string RunLogMessage(const std::string& text, const std::string& answer);

// ---- Win32 ----------------------------------------------------------------

// Starts the account in path, replacing an older file, with the date and the
// command line; false when it cannot be written.
bool OpenRunLog(const std::string& path);
// One entry, when an account is kept; nothing otherwise.
void LogRun(const std::string& text);
