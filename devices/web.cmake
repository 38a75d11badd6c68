# The platform in the browser: Web Audio for the sound (the page decodes the six files once, as
# it fetches them), a PDF handed to the browser for the worksheets, the files the page fetched
# from beside index.html in emscripten's in-memory file system, the faces embedded, and the
# browser's own key repeat (the desktop's defaults where the program repeats a key itself).
add_library(tovemi_devices STATIC
    media_file.h media_file.cpp
    background_work.h web_background_work.cpp
    sound_output.h
    worksheet_printer.h
    bundled_faces.h web_faces.cpp
    web_sound_output.cpp
    web_worksheet_printer.cpp
    key_repeat_pace.h key_repeat_pace.cpp)
target_link_libraries(tovemi_devices PUBLIC tovemi_options tovemi_core Qt6::Widgets)
