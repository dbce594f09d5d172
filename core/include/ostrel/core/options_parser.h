#pragma once

#include <boost/program_options/options_description.hpp>
#include <boost/program_options/positional_options.hpp>
#include <boost/program_options/variables_map.hpp>

#include <exception>
#include <string>

#include <ostrel/core/export.h>

namespace ostrel::modules {

/// Implemented by components that add their own command-line options to an
/// application; registered with `MainApplicationModule::registerOptions`
/// before `configure`.
class OSTREL_CORE_EXPORT OptionsParser {
 public:
  /// Bad input found by `processOptions`; its message is "Invalid input : "
  /// followed by the text given.
  class OSTREL_CORE_EXPORT InvalidInputError : public std::exception {
   public:
    /// Message "Invalid input : " plus `text`; a null `text` adds nothing.
    explicit InvalidInputError(char const* text);
    char const* what() const noexcept override;

   private:
    std::string message_;
  };

  virtual ~OptionsParser();

  /// Options shown in the help text and parsed.
  virtual boost::program_options::options_description const& getOptions() = 0;
  /// Options parsed but not shown in the help text.
  virtual boost::program_options::options_description const& getHiddenOptions() = 0;
  /// Names of the positional arguments this parser takes.
  virtual boost::program_options::positional_options_description const& getPositionalOptions() = 0;
  /// Reads this parser's values after parsing.
  /// @throws std::exception (typically InvalidInputError) on bad input.
  virtual void processOptions(boost::program_options::variables_map const& variables) = 0;

 protected:
  OptionsParser() = default;
  OptionsParser(OptionsParser const&) = default;
  OptionsParser& operator=(OptionsParser const&) = default;
};

}  // namespace ostrel::modules
