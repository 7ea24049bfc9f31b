#pragma once

#include <optional>
#include <string>
#include <string_view>

// The sections of a manual page (roff, man macros) made from a program's --help text, so that
// the page says what the program says of itself:
// * "Usage: PROGRAM ARGUMENTS" first: SYNOPSIS;
// * the paragraphs that follow: DESCRIPTION;
// * a heading ending in ':' over indented option lines: a subsection of OPTIONS, each option's
//   description starting in one column shared by all option lines, continued in that column;
// * a paragraph starting "Word: ": a section WORD of its own.
// Nothing, with the reason (and the line) in error, for a text that strays from this form.
std::optional<std::string> ManualFromHelp(std::string_view help, std::string& error);

// The page: the template with its line "@HELP@" replaced by the sections.
std::optional<std::string> FillManualTemplate(std::string_view manualTemplate,
                                              std::string_view sections, std::string& error);
