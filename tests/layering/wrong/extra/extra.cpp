// A module folder the include map does not name.
