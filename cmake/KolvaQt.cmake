# Qt 6 Widgets for the window layers, and QScintilla, the host's source editor component.
# Both are linked as shared libraries: the host and every add-in it loads use the one Qt of the
# process (see docs/decisions.md, "The IDE stand-in").
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h PATHS ${Qt6Widgets_INCLUDE_DIRS}
          PATH_SUFFIXES qt6 REQUIRED)
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
add_library(QScintilla::QScintilla SHARED IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION ${QSCINTILLA_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QSCINTILLA_INCLUDE_DIR}
  INTERFACE_LINK_LIBRARIES Qt6::Widgets)
