// The six pictures and sounds that answer the pupil: their names and what each is for. The
// program, the packages of both systems, the manual pages and the tests all take them from here.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <iterator>

enum class MediaUse { Mascot, RightPicture, WrongPicture, RightSound, WrongSound, Pip };

struct MediaFileRow
{
    MediaUse use;
    // Looked for by this bare name in the working directory.
    QStringView name;
    // What it is for, as the manual pages say it in English and in Japanese.
    const char *purpose;
    const char *purposeJa;
};

// cmake/MediaFiles.cmake reads these rows for the packages and the manual pages: one row a line.
// clang-format off
inline constexpr MediaFileRow MediaFileTable[] = {
    { MediaUse::Mascot, u"mascot.bmp", "the picture shown with the prompt to type an answer", "答えを入れるようにうながすときの絵" },
    { MediaUse::RightPicture, u"maru1.bmp", "the picture of a right answer", "正解のときの絵" },
    { MediaUse::WrongPicture, u"batu1.bmp", "the picture of a wrong answer", "まちがいのときの絵" },
    { MediaUse::RightSound, u"maru1.wav", "the sound of a right answer", "正解のときの音" },
    { MediaUse::WrongSound, u"batu1.wav", "the sound of a wrong answer", "まちがいのときの音" },
    { MediaUse::Pip, u"p.wav", "the sound of each Enter in the buai boxes", "割・分・厘の枠で、リターンキーをおすたびに鳴る音" },
};
// clang-format on

// A use finds its row by its number.
constexpr bool mediaRowsInOrder()
{
    for (std::size_t i = 0; i < std::size(MediaFileTable); ++i) {
        if (std::size_t(MediaFileTable[i].use) != i)
            return false;
    }
    return std::size(MediaFileTable) == std::size_t(MediaUse::Pip) + 1;
}
static_assert(mediaRowsInOrder());

inline QString mediaFileName(MediaUse use)
{
    return MediaFileTable[std::size_t(use)].name.toString();
}

// In the table's order.
inline QStringList mediaFileNames()
{
    QStringList names;
    for (const MediaFileRow &row : MediaFileTable)
        names << row.name.toString();
    return names;
}
