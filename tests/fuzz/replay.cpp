// Replays the committed corpus through a fuzz target: a plain regression test where libFuzzer is missing.

#include "../Files.h"

#include <QDirIterator>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (QDirIterator it(QFile::decodeName(argv[i]), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QByteArray bytes = zentimo::test::readAll(it.next());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("replayed %d inputs\n", inputs);
    return inputs == 0 ? 1 : 0;
}
