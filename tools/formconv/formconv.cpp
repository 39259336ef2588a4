// Build-time form converter: turns a text form file into the binary form
// stream that the executable carries as an RCDATA resource.
//
//   formconv input.txt output.bin
//
// Exits with 0 on success; on any error prints one line to stderr (with the
// line number for syntax errors) and exits non-zero without leaving a
// partial output file behind.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "FormStreams.h"

namespace {

int Fail(const std::string& file, const std::string& message) {
  std::fprintf(stderr, "formconv: %s: %s\n", file.c_str(), message.c_str());
  return 1;
}

// The first object line must name a class ("object Name: TClass"); a form
// resource without one cannot be created.
bool FirstObjectNamesClass(const std::string& text, std::string& problem) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    line = line.substr(first);
    while (!line.empty() &&
           (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
      line.pop_back();
    }
    std::size_t word = line.find_first_of(" \t");
    const std::string keyword = line.substr(0, word);
    std::string lower;
    for (char c : keyword) lower += static_cast<char>(std::tolower(c));
    if (lower != "object" && lower != "inherited" && lower != "inline") {
      problem = "the file does not start with an object line";
      return false;
    }
    std::string rest =
        word == std::string::npos ? std::string() : line.substr(word);
    const std::size_t colon = rest.find(':');
    std::string cls =
        colon == std::string::npos ? rest : rest.substr(colon + 1);
    const std::size_t b = cls.find_first_not_of(" \t");
    cls = b == std::string::npos ? std::string() : cls.substr(b);
    const std::size_t e = cls.find_first_of(" \t[");
    if (e != std::string::npos) cls = cls.substr(0, e);
    if (cls.empty()) {
      problem = "the first object line names no class";
      return false;
    }
    return true;
  }
  problem = "the file holds no object";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: formconv input.txt output.bin\n");
    return 2;
  }
  const std::string input = argv[1];
  const std::string output = argv[2];

  std::ifstream in(input, std::ios::binary);
  if (!in) return Fail(input, "cannot open the file");
  const std::string text((std::istreambuf_iterator<char>(in)),
                         std::istreambuf_iterator<char>());
  if (in.bad()) return Fail(input, "cannot read the file");

  std::string problem;
  if (!FirstObjectNamesClass(text, problem)) return Fail(input, problem);

  std::string data;
  try {
    data = formstreams_detail::TextToBinary(text);
  } catch (const Exception& e) {
    return Fail(input, e.Message());
  }

  const std::string temp = output + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(output, "cannot create the file");
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      return Fail(output, "cannot write the file");
    }
  }
  std::remove(output.c_str());
  if (std::rename(temp.c_str(), output.c_str()) != 0) {
    std::remove(temp.c_str());
    return Fail(output, "cannot replace the file");
  }
  return 0;
}
