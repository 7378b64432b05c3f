// A module with the framework's exports and no plugin object.
