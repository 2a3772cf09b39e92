// Appended to the module's JavaScript: stringToNewUTF8 (a malloc'ed UTF-8
// copy of a string, freed with _free) under its newer name, which this
// emscripten calls allocateUTF8.
if (typeof Module['stringToNewUTF8'] == 'undefined') Module['stringToNewUTF8'] = allocateUTF8;
