// The reply file of reply_file.h. It is written over in place and cut to the
// reply's length only when it was longer: a file emptied first and written
// anew is pushed to the disk when it is closed (and its old blocks freed, on
// a discarding file system, while the caller waits), and even a cut to the
// length it already has costs a journal entry. Opening it costs more than
// writing a short reply, so on Linux it stays open while the watch reports
// nothing that changes which file its name leads to or whether it may be
// written; elsewhere, or where its path is not watched, it is opened and
// closed for each reply.
#include "http/reply_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <algorithm>
#include <vector>

#include "options/file_watch.h"

namespace standin {
namespace {

// The two reply files of the plug-in, and room to spare.
constexpr size_t kKeptFiles = 4;

#ifdef _WIN32
int openForWriting(const char* name) { return _open(name, _O_WRONLY | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE); }
// A file is never kept open here: it is written from its start as opened.
long writeFrom(int file, const char* data, unsigned size, long long) { return _write(file, data, size); }
long long lengthOf(int file) { return _lseeki64(file, 0, SEEK_END); }
bool cutFile(int file, size_t length) { return _chsize_s(file, static_cast<long long>(length)) == 0; }
#else
int openForWriting(const char* name) { return open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666); }
long writeFrom(int file, const char* data, unsigned size, long long offset) {
  return pwrite(file, data, size, static_cast<off_t>(offset));
}
long long lengthOf(int file) { return lseek(file, 0, SEEK_END); }
bool cutFile(int file, size_t length) { return ftruncate(file, static_cast<off_t>(length)) == 0; }
#endif

struct KeptFile {
  std::string name;
  int file;
};

std::vector<KeptFile>& keptFiles() {
  static std::vector<KeptFile> files;
  return files;
}

void closeKept(std::vector<KeptFile>::iterator kept) {
  close(kept->file);
  keptFiles().erase(kept);
}

// The named file open for writing; keep tells whether it stays open after
// this reply.
int replyFileFor(const std::string& name, bool& keep) {
  std::vector<KeptFile>& files = keptFiles();
  const SinceLastLook since = lookAt(name, WatchedFor::kIdentity);
  auto kept = std::find_if(files.begin(), files.end(), [&name](const KeptFile& file) { return file.name == name; });
  keep = since != SinceLastLook::kUnwatched;
  if (kept != files.end() && since == SinceLastLook::kNothing) return kept->file;
  if (kept != files.end()) closeKept(kept);
  const int file = openForWriting(name.c_str());
  if (file < 0 || !keep) return file;
  if (files.size() == kKeptFiles) closeKept(files.begin());
  files.push_back(KeptFile{name, file});
  return file;
}

bool writeWhole(int file, const std::string& body) {
  size_t written = 0;
  while (written < body.size()) {
    const size_t chunk = body.size() - written < (1u << 30) ? body.size() - written : (1u << 30);
    const long n = writeFrom(file, body.data() + written, static_cast<unsigned>(chunk), static_cast<long long>(written));
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  const long long length = lengthOf(file);
  return length == static_cast<long long>(body.size()) ||
         (length > static_cast<long long>(body.size()) && cutFile(file, body.size()));
}

}  // namespace

bool storeReply(const std::string& name, const std::string& body) {
  bool keep = false;
  const int file = replyFileFor(name, keep);
  if (file < 0) return false;
  const bool stored = writeWhole(file, body);
  if (!keep) return close(file) == 0 && stored;
  if (!stored) {
    std::vector<KeptFile>& files = keptFiles();
    closeKept(std::find_if(files.begin(), files.end(), [file](const KeptFile& kept) { return kept.file == file; }));
  }
  return stored;
}

}  // namespace standin
