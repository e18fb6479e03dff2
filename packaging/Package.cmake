# `make package`: a Debian package of the installed files, named and versioned from project().
# Its dependencies on Debian's Qt packages are read from the program itself by dpkg-shlibdeps.

# The example data, for the host to copy the price list, invoice form and counter from.
if(WIN32)
  # Started from Explorer the program works in its own folder, so it finds these two there.
  install(FILES ${PROJECT_SOURCE_DIR}/example/Preismatrix.dat ${PROJECT_SOURCE_DIR}/example/REVORL.JPG
          DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/example/ DESTINATION Beispiel)
else()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/example/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zimbrana/beispiel)
endif()

set(CPACK_PACKAGE_NAME zimbrana)
set(CPACK_PACKAGE_VENDOR Kestrumbel)
set(CPACK_PACKAGE_CONTACT "Kestrumbel <zimbrana@kestrumbel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Buchungen eines kleinen Gästehauses")
set(CPACK_PACKAGE_DESCRIPTION "Zimbrana führt die Buchungen eines kleinen Gästehauses: Gäste, \
Zimmerkalender mit Feiertagen, Belegungsplan, Jahresauswertung, Kosten des Aufenthalts und fortlaufend \
nummerierte Rechnungen.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zimbrana)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's German texts for its own dialogs ("Ja", "Nein", "Abbrechen").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
