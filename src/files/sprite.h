// Finding and loading the sprite: the user's own (--sprite), or ball4.bmp in the working
// directory, then in the installed data directory, then beside the program. The file is read once,
// and the very bytes that were checked (BmpFileProblem) are the ones handed to the library's
// loader.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

constexpr const char* kBallFile = "ball4.bmp";

// The places looked in, in order, for a program whose own file is exe.
std::vector<std::string> SpritePlaces(const std::string& exe);

// The first of SpritePlaces that has something of that name, or "" with where it looked in
// *looked. The program's own file comes from /proc/self/exe.
std::string FindSprite(std::string* looked);

// Loads the checked bytes; nullptr with the reason in *why if nothing of it would show.
BITMAP* LoadSprite(const std::vector<unsigned char>& bytes, std::string* why);

// The pen, before the library starts: the file chosen, or else ball4.bmp where FindSprite finds
// it, read once and checked. Says why not on stderr; *path names the file for later messages.
bool ReadPen(const std::string& chosen, std::string* path, std::vector<unsigned char>* bytes);

// Loads the pen from the checked bytes, once the library is up; says why not on stderr.
BITMAP* LoadPen(const std::vector<unsigned char>& bytes, const std::string& path);
