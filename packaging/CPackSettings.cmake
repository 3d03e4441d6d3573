# The Debian package: cpack -G DEB in the build folder makes tarvonix_VERSION_ARCH.deb.

set(CPACK_PACKAGE_NAME tarvonix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_VENDOR "BRIGHTWELL QUIZ STUDIO")
set(CPACK_PACKAGE_CONTACT "BRIGHTWELL QUIZ STUDIO <quiz@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multiple-choice general-knowledge quiz in five levels")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are computed from the binary by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The beep loads libcanberra and its PulseAudio backend at run time, out of dpkg-shlibdeps'
# sight, and plays the freedesktop sound theme's bell where the desktop's theme has none.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcanberra0, libcanberra-pulse")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop")
# The long description, under the summary's synopsis line; a line holding only "." is an
# empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[TARVONIX is a desktop quiz for one player: five levels of 200 questions
each, on states and their languages, capitals and areas, leaders and famous
persons, history, the constitution, geography and economy, religion and
culture, literature, films, sports, awards and research institutes.
.
Each level shuffles its questions anew every time it is opened and shows
them one at a time with four numbered options. A smiling face, a beep and a
raised mark count greet a right answer, a frowning face a wrong one, and the
number of the correct option is always shown. It is played with the mouse or
with the keyboard alone; questions, pictures and fonts are built in.]=])

include(CPack)
