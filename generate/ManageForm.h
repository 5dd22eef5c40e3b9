#pragma once

#include <stdexcept>
#include <string>

#include "generate/GenContext.h"
#include "generate/ModelSnapshot.h"
#include "model/Member.h"

namespace vbgen {

// A class whose manage form cannot be generated; the message says which class and why.
class TManageFormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The most query members a manage form has room for: with more, the query rows push the
// result grid to no height at all.
inline constexpr int kMaxManageQueryMembers = 44;

// FrmManage{className}.frm for every class, in list order.
void GenerateManageFormFiles(TGenContext& context, const TModelSnapshot& model);

// The text of one manage form (UTF-8, LF line ends): the query frame holds one control per
// query member, in the order given. Throws TManageFormError for too many query members.
std::string BuildManageFormText(const std::string& className, const std::string& friendName,
                                const TMemberList& queryMembers);

}  // namespace vbgen
