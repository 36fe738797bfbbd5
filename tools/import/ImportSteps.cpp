#include "tools/import/ImportSteps.h"

#include <fstream>
#include <iterator>

#include "records/TarvelinRecords.h"
#include "sprite/TarvelinSpritePattern.h"

namespace {

TStepOutcome Refused(std::string Why) {
  TStepOutcome outcome;
  outcome.Refusal = std::move(Why);
  return outcome;
}

TStepOutcome Outcome(const TImportResult& Result, std::vector<TPatternRef> Own = {}) {
  TStepOutcome outcome;
  if (Result.Refused()) {
    outcome.Refusal = ImportProblemText(*Result.Problem);
    return outcome;
  }
  outcome.Change = Result.Change;
  outcome.Tiles = Result.Tiles;
  outcome.Own = std::move(Own);
  outcome.Approximated = Result.Approximated;
  return outcome;
}

template <typename TImport>
TImportStep PictureStep(std::string Path, TPatternRef Pattern, TImportOptions Options, TImport Import) {
  return {Path, [=](const TRomDocument& Document) {
            std::string error;
            const TImportImage picture = ReadImportImage(Path, error);
            if (!error.empty()) return Refused(error);
            const TSpritePattern pattern = LocateSpritePattern(
                Document.Prg(), SpriteBanks[static_cast<std::size_t>(Pattern.BankIndex)], Pattern.Number);
            return Outcome(Import(Document.Chr(), pattern, picture, Options), {Pattern});
          }};
}

}  // namespace

TImportStep PatternTableStep(std::string Path, TPatternRef Pattern, TImportOptions Options) {
  return PictureStep(std::move(Path), Pattern, Options,
                     [](const TChrData& Chr, const TSpritePattern& P, const TImportImage& I, const TImportOptions& O) {
                       return ImportPatternTable(Chr, P, I, O);
                     });
}

TImportStep SpritePictureStep(std::string Path, TPatternRef Pattern, TImportOptions Options) {
  return PictureStep(std::move(Path), Pattern, Options,
                     [](const TChrData& Chr, const TSpritePattern& P, const TImportImage& I, const TImportOptions& O) {
                       return ImportSpritePicture(Chr, P, I, O);
                     });
}

TImportStep ChrStep(std::string Path, int FirstBank) {
  return {Path, [=](const TRomDocument& Document) {
            std::ifstream in(Path, std::ios::binary | std::ios::ate);
            if (!in) return Refused("cannot open " + Path);
            // Every bank from bank 0 is 256 KiB: a longer file can only be refused.
            if (in.tellg() > std::streamoff{sizeof(TChrData)})
              return Refused("raw CHR longer than the 256 banks of CHR-ROM");
            in.seekg(0);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            return Outcome(ImportChr(Document.Chr(), FirstBank, bytes));
          }};
}

TImportStep RecordsStep(std::string Path, bool Grow) {
  return {Path, [=](const TRomDocument& Document) {
            std::ifstream in(Path, std::ios::binary);
            if (!in) return Refused("cannot open " + Path);
            const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const std::span<const char> text(json.data(), json.size());
            TStepOutcome outcome;
            outcome.Pictures = false;
            try {
              if (!Grow) {
                outcome.Change = PlanRecordsImport(Document.Image(), text);
                return outcome;
              }
              TRomPlan plan = PlanRecordsImport(Document, Document.FreeSpace(), text);
              outcome.Change = std::move(plan.Change);
              outcome.FreeAfter = std::move(plan.FreeAfter);
            } catch (const ERecordsError& E) {
              return Refused(E.Message());
            } catch (const ENoFreeSpace& E) {
              std::string within;
              for (const TFileRange& reach : E.Reaches())
                within += (within.empty() ? "" : " and ") + FormatRange(reach);
              return Refused("not enough free space: " + std::to_string(E.Size()) +
                             " bytes of the declared free space are needed within " + within +
                             ", where the pointers that name the record reach");
            } catch (const ERomEditError& E) {
              return Refused(E.Message());
            }
            return outcome;
          }};
}
