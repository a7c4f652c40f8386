// Decoding a library file against the floor of copying its bytes: the first
// pass should run at a sizeable fraction of memcpy's speed.
#include "core/gallery/library/templatedecoding.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include <cstring>

namespace {

constexpr qsizetype TemplateSize = 10 * 1024 * 1024;

// A message shaped like a real template: markup, the gallery's word now and
// then, and mostly base64 image data.
QByteArray makeMessage()
{
    QRandomGenerator random(2024);
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray message;
    message.reserve(TemplateSize);
    message += "Subject: News from quillbook\r\nMIME-Version: 1.0\r\n\r\n";
    while (message.size() < TemplateSize) {
        message += "<table role=\"presentation\"><tr><td><p>Made with quillbook</p></td></tr>"
                   "</table>\r\n";
        for (int line = 0; line < 40; ++line) {
            for (int i = 0; i < 76; ++i)
                message += alphabet[random.bounded(64)];
            message += "\r\n";
        }
    }
    message.truncate(TemplateSize);
    return message;
}

const QByteArray& message()
{
    static const QByteArray text = makeMessage();
    return text;
}

const QByteArray& libraryFile()
{
    static const QByteArray file = *Module1::packTemplate(message());
    return file;
}

void BM_Memcpy(benchmark::State& state)
{
    const QByteArray& source = message();
    QByteArray target(source.size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), source.constData(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}

// A copy into a fresh buffer, as every decoding step returns one.
void BM_CopyToNewBuffer(benchmark::State& state)
{
    const QByteArray& source = message();
    for (auto _ : state) {
        QByteArray copy(source.constData(), source.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}

void BM_DecryptText(benchmark::State& state)
{
    const QByteArray& source = message();
    const QByteArray key(Module1::TemplateKey);
    for (auto _ : state) {
        QByteArray text = Module1::DecryptText(source, key);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}

void BM_UnpackTemplate(benchmark::State& state)
{
    const QByteArray& file = libraryFile();
    for (auto _ : state) {
        Result<QByteArray> text = Module1::unpackTemplate(file);
        benchmark::DoNotOptimize(text->data());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_PackTemplate(benchmark::State& state)
{
    const QByteArray& source = message();
    for (auto _ : state) {
        Result<QByteArray> file = Module1::packTemplate(source);
        benchmark::DoNotOptimize(file->data());
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyToNewBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackTemplate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackTemplate)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
