# SPDX-License-Identifier: MIT
# cmake -DIN=tessivane.metainfo.xml.in -DOUT=FILE [-DDOCS_URL=URL] -P metainfo.cmake
# Writes the AppStream metainfo. Software centres show screenshots only from the web, so the
# pictures of docs/ (the main window also in German) are listed when DOCS_URL names the address
# where that folder is published.
cmake_minimum_required(VERSION 3.25)
set(screenshots "")
if(DOCS_URL)
    string(REGEX REPLACE "/+$" "" base "${DOCS_URL}")
    string(CONCAT screenshots
        "  <screenshots>\n"
        "    <screenshot type=\"default\">\n"
        "      <caption>The main window: a folder description, pictures, a sound and the "
        "page's text</caption>\n"
        "      <caption xml:lang=\"de\">Das Hauptfenster: Ordnerbeschreibung, Bilder, Klang "
        "und der Text der Seite</caption>\n"
        "      <image>${base}/screenshot.png</image>\n"
        "      <image xml:lang=\"de\">${base}/screenshot-de.png</image>\n"
        "    </screenshot>\n"
        "    <screenshot>\n"
        "      <caption>The live preview of the template on a real folder</caption>\n"
        "      <caption xml:lang=\"de\">Die Live-Vorschau der Vorlage an einem echten "
        "Ordner</caption>\n"
        "      <image>${base}/preview.png</image>\n"
        "    </screenshot>\n"
        "  </screenshots>\n")
endif()
configure_file(${IN} ${OUT} @ONLY)
