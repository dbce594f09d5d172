# Third-party packages, found the CMake way. Imported targets carry their
# include directories as system directories, so their headers never trip our
# warning flags.
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS program_options system thread)
find_package(Eigen3 3.3 REQUIRED NO_MODULE)

# Boost 1.74 announces deprecated headers that its own libraries still
# include (property_tree pulls in the global bind placeholders). Its own
# macros silence those notes without turning any warning off.
set(OSTREL_BOOST_DEFINITIONS BOOST_ALLOW_DEPRECATED_HEADERS BOOST_BIND_GLOBAL_PLACEHOLDERS)
