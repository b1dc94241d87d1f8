// SPDX-License-Identifier: MIT
// Loading, patching and saving a document against copying the same bytes with plain buffered
// reads and writes, in the same run. The goal: the 100,000-line round trip within three times
// the plain copy.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "document/template.h"
#include "document/writer.h"
#include "storage/file_services.h"

namespace {

using namespace tessivane;

struct Files {
    QTemporaryDir dir;
    QString source;
    QString target;
};

// A document of the given length: the template, padded with template-like lines.
Files makeFiles(std::size_t lineCount) {
    Files files;
    std::vector<std::string> lines = templateLines();
    for (std::size_t i = lines.size(); i < lineCount; ++i) {
        lines.push_back("    <p class=Filler>line " + std::to_string(i) + " of the document</p>");
    }
    files.source = files.dir.filePath("source.htt");
    files.target = files.dir.filePath("target.htt");
    saveDocument(WorkingDocument(lines, TextEncoding::Utf8), files.source);
    return files;
}

FolderViewSettings settings() {
    FolderViewSettings s;
    s.description = "%THISDIRNAME%";
    s.fontFace = "Verdana";
    s.textColour = "Grey";
    s.loopForever = true;
    return s;
}

void loadPatchSave(benchmark::State& state) {
    const Files files = makeFiles(std::size_t(state.range(0)));
    const FolderViewSettings s = settings();
    for (auto _ : state) {
        LoadResult loaded = loadDocument(files.source);
        writeSettings(loaded.document, s, [](const std::string&) { return true; });
        if (saveDocument(loaded.document, files.target)) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(files.source).size());
}

// Copies with stdio; with `durable`, also forces the copy to disk as an atomic save must before
// it replaces the old file.
void copy(benchmark::State& state, bool durable) {
    const Files files = makeFiles(std::size_t(state.range(0)));
    const QByteArray source = QFile::encodeName(files.source);
    const QByteArray target = QFile::encodeName(files.target);
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        std::FILE* in = std::fopen(source.constData(), "rb");
        std::FILE* out = std::fopen(target.constData(), "wb");
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
            std::fwrite(buffer.data(), 1, n, out);
        }
        std::fclose(in);
        std::fflush(out);
        if (durable) {
            fsync(fileno(out));
        }
        std::fclose(out);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(files.source).size());
}

BENCHMARK(loadPatchSave)->Arg(344)->Arg(100000)->Unit(benchmark::kMicrosecond);
void plainCopy(benchmark::State& state) {
    copy(state, false);
}
void plainCopyWithFsync(benchmark::State& state) {
    copy(state, true);
}

BENCHMARK(plainCopy)->Arg(344)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainCopyWithFsync)->Arg(344)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
