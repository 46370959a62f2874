// Downloads one file with the downloader, as the benchmark script times it.
//   netdown_fetch HOST PORT REMOTE LOCAL
#include <cstdio>
#include <cstdlib>

#include "netdown/net_downloader.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s HOST PORT REMOTE LOCAL\n", argv[0]);
        return 2;
    }
    netdown::DownloaderOptions options;
    options.log_file.clear();
    netdown::CNetDownLoader down(options);
    std::uint64_t size = 0;
    const bool ok =
        down.SetLoginInfo(argv[1], netdown::kServiceHttp, 0, std::atoi(argv[2]), "", "") &&
        down.ConnectServer() && down.GetRemoteFileSize(argv[3], size) &&
        down.DownloadFile(argv[3], argv[4], size);
    return ok ? 0 : 1;
}
