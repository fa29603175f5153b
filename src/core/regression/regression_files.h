#pragma once

#include "regression/linear_regression.h"

#include <array>
#include <filesystem>
#include <optional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr int kMaxRegressorNames = 500;
inline constexpr int kMaxObservations = kMaxVectorUb;

// One regression data file as read by the driver.
struct RegressionData {
    std::string studyName;              // line 1
    std::vector<std::string> names;     // regressor names x1..xk
    std::string yName;                  // the MxW
    int N = 0;
    int k = 0;
    PVectorList X;  // rows 0..k, columns 0..N
    PVector Y;      // 0..N
    PVector s;      // 0..N, the weight column of a weighted file
};

// Reads a regression data file; every flaw (fewer than two variables, more
// names or observations than the engine holds, a short or non-numeric data
// line) raises IoError naming the file.
RegressionData readRegressionData(std::istream& in, const std::string& fileName, bool weighted);

// Everything a result file prints: coefficients 0..k, V row after row
// ((k + 1) x (k + 1)), observations 0..N-1.
struct ResultContent {
    std::string studyName, yName;
    std::vector<std::string> names;
    int k = 0;
    int N = 0;
    std::vector<double> B, SB, T, ProbT, V;
    TRegTest test;
    std::vector<double> Y, Ycalc, S;
};

// The lines of a result file, without line ends.
std::vector<std::string> resultLines(const std::string& dataFileName, const ResultContent& r);
// Its first lines, up to the formula, which selection searches as well.
std::vector<std::string> resultHeaderLines(const std::string& dataFileName,
                                           const std::string& studyName,
                                           const std::vector<std::string>& names,
                                           const std::string& yName);
// The statistics lines selection reads N and s from.
std::string observationsLine(int N);
std::string residualErrorLine(double Vr);

ResultContent resultContent(const RegressionData& data, const FitOutput& fit);

// The whole text (CR LF) of a result file with the coordinate lines appended
// as appendCoordinates does, made in one pass.
std::string resultTextWithCoordinates(const std::string& dataFileName, const ResultContent& r,
                                      const std::vector<std::string>& xy);

// The residual listing with the coordinate lines appended (the heads to the
// listing header, one line per observation, a blank on the closing line).
std::vector<std::string> appendCoordinates(std::vector<std::string> result,
                                           const std::vector<std::string>& xy);

// Writes the result file of a successful fit, every line ended by CR LF.
void writeRegressionResult(std::ostream& out, const std::string& dataFileName,
                           const RegressionData& data, const FitOutput& fit);

// The result file name that belongs to a data file: ".dat" becomes ".out".
std::string resultFileName(const std::string& dataFileName);

// One line of a result file's residual listing.
struct ResultObservation {
    double index, observed, predicted;
};

// A result file as the program reads it back, by the line-search rule: the
// first line holding a text, the not-found line when none does. The figures
// are read at the positions the writer gives them.
struct ResultFile {
    std::string function;  // the model formula line
    int p = 0;             // coefficients in the formula, b0 included
    int N = 0;             // characters 43-47 of the observations line
    double s = 0;          // characters 43-52 of the residual error line
    // The statistics lines as found: n, s, r2 and r2a.
    std::string observationsLine, residualErrorLine, r2Line, r2aLine;
    // Per coefficient b0..b15 the formula names: its parameter line (the name
    // right-aligned in the first 5 characters) and its estimate, the number
    // after the name read whole.
    std::array<std::optional<std::string>, 16> parameterLines;
    std::array<double, 16> estimates{};
    // The covariance of the estimates as listed, [1..p][1..p].
    std::array<std::array<double, 17>, 17> varCov{};
    // The residual listing: the first min(N, maxObservations) lines.
    std::vector<ResultObservation> observations;
};
ResultFile readResultFile(const std::vector<std::string>& lines, std::size_t maxObservations = 0);
// Only the figures selection judges by: p, N and s, read as readResultFile reads them.
struct ResultFigures {
    int p = 0;     // coefficients, b0 included
    int N = 0;     // observations
    double s = 0;  // residual standard error
};
ResultFigures readResultFigures(const std::vector<std::string>& lines);
ResultFile readResultFile(const std::filesystem::path& path, std::size_t maxObservations = 0);

// Reads the data file in `dir`, fits and writes the result file. Returns true
// when the result file was written; a fit that does not converge writes none
// (and leaves no stale result of the same name behind).
bool RunRegressionFile(const std::filesystem::path& dir, const std::string& dataFileName,
                       bool weighted);

// Appends the coordinates of "XY.txt" to the residual listing of the result
// file that belongs to `regFileName` (a data file name); removes XY.txt.
void AddXY2OUTFILE(const std::filesystem::path& dir, const std::string& regFileName);

}  // namespace tolvar
