// The banner movies: the refresh from the server at start-up and the main
// window's choice of the movie to play.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "netdown/downloader.h"
#include "platform/clock.h"
#include "ui/ports.h"

namespace shell {

inline constexpr char kBannerListName[] = "banner_list.txt";
inline constexpr char kDefaultBannerMovie[] = "vellora_banner_tarnwick.swf";

// A movie name from the server's list becomes a local file name: names that
// could reach outside the Banner folder are refused.
bool is_safe_movie_name(const std::string& name);

// Movie names of the banner list as the refresh reads it (SplitList, at
// least two fields, the first is the movie).
std::vector<std::string> banner_names_for_download(const std::vector<std::string>& lines);

// Movie names as the main window reads the list: trimmed, split at the first
// "|", which must not come first.
std::vector<std::string> banner_names_for_window(const std::vector<std::string>& lines);

// Downloads the movies of the banner list whose local copies are missing or
// older than the server's. Shows the configuration and connection boxes;
// every other failure is silent.
// Paths are taken in `program_folder` (empty: the working directory).
void refresh_banners(netdown::Downloader& downloader, platform::Clock& clock,
                     ui::Interaction& interaction,
                     const std::filesystem::path& program_folder = {});

// The movie the main window plays: an entry of "Banner\banner_list.txt"
// under the program folder picked by rand(), or the default movie when the
// list is missing or empty or the picked file is missing.
std::filesystem::path choose_banner_movie(const std::filesystem::path& program_folder);

}  // namespace shell
