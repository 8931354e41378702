// From a saved page file to the page text that the table scan works on.
#pragma once

#include <string>

// The page file's bytes read as text lines joined with nothing between them:
// a CR ends a line and a LF right after it goes with it, a LF alone is an
// ordinary byte, and a 0x1A byte ends the file.
std::string PageTextFromFileBytes(std::string bytes);

// Reads the file at `path` (opened for shared reading) and returns its page
// text; a file that cannot be opened or read reads as empty.
std::string ReadPageText(const char* path);

// Guards the base files against false record starts ("'MESSAGE" becomes
// "'Message") and upper-cases the inside of every tag, so that later steps
// can match tags with plain case-sensitive comparison.
void PreparePageText(std::string& text);

// Upper-cases one byte: ASCII letters and the accented letters of code page
// 437 that have a capital form.
unsigned char UpperCaseByte(unsigned char byte);
