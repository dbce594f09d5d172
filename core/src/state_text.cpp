#include <ostrel/core/state.h>

#include <ostream>

namespace ostrel::core {

namespace {

// Eigen's default format: the stream's precision, blanks between
// coefficients, every coefficient right-aligned to the widest one.
void write3D(std::ostream& out, const boost::optional<Gaussian<float, 3>>& estimate) {
  if (!estimate) {
    out << "(not available)\n";
    return;
  }
  out << "mean: " << estimate->mean.transpose() << "\n"
      << "covariance:\n"
      << estimate->covariance << "\n";
}

void write1D(std::ostream& out, const boost::optional<Gaussian<float, 1>>& estimate) {
  if (!estimate) {
    out << "(not available)\n";
    return;
  }
  out << "mean: " << static_cast<double>(estimate->mean(0)) << "\n"
      << "covariance: " << static_cast<double>(estimate->covariance(0, 0)) << "\n";
}

void writeDimensions(std::ostream& out,
                     const boost::optional<Dimensions<float, frames::Trackable>>& dimensions) {
  if (!dimensions) {
    out << "(not available)\n";
    return;
  }
  out << " length: " << static_cast<double>(dimensions->length)
      << " width: " << static_cast<double>(dimensions->width)
      << " height: " << static_cast<double>(dimensions->height) << "\nanchor: ("
      << static_cast<double>(dimensions->anchor.x) << ", "
      << static_cast<double>(dimensions->anchor.y) << ", "
      << static_cast<double>(dimensions->anchor.z) << ")\n";
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const State& state) {
  out << "POSITION\n";
  write3D(out, state.position);
  out << "VELOCITY\n";
  write3D(out, state.velocity);
  out << "ACCELERATION\n";
  write3D(out, state.acceleration);
  out << "HEADING\n";
  write1D(out, state.heading);
  out << "HEADING RATE\n";
  write1D(out, state.headingRate);
  out << "DIMENSIONS\n";
  writeDimensions(out, state.dimensions);
  return out;
}

}  // namespace ostrel::core
