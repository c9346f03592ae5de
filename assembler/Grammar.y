%code requires { namespace zernasm { struct Assembly; } }
%{
// One call of yyparse parses exactly one source line: the start rule accepts
// after the line end, so the next line's first token is never read. The run's
// context comes in as the parse parameter and reaches every action. The
// parser trace prints the line of each rule: keep them where they are.
#include <alloca.h>
#include <cstring>

#include "Assembly.h"
#include "Directives.h"
#include "Encoder.h"
#include "Operands.h"
#include "ParserTrace.h"
#include "Reductions.h"
#include "Reporting.h"
#include "ScannerSupport.h"
#include "Templates.h"
using namespace zernasm;
// Stack growth uses alloca, so an early end of the run leaks nothing.
#define YYSTACK_USE_ALLOCA 1
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
// The parser's trace is written in the assembler's own texts.
#define YYFPRINTF zernasm::ParserTracePrint
static int yylex(int32_t* value, Assembly& a);
static void yyerror(Assembly& a, const char* message);
%}
%define api.pure full
%parse-param {zernasm::Assembly& a} %lex-param {zernasm::Assembly& a}
%define api.value.type {int32_t}
%define parse.trace
%expect 0
%token TOKEN_END 257 TOKEN_NUMBER 258 TOKEN_CHARSTRING 259 TOKEN_COMMA 260 TOKEN_NEWLINE 261
%token TOKEN_ORG 262 TOKEN_SEGMENT 263 TOKEN_SEGMENTTYPE 264 TOKEN_DB 265 TOKEN_DW 266 TOKEN_DL 267
%token TOKEN_DT 268 TOKEN_EQUATE 269 MNEMONIC_BEGIN 270 TOKEN_AND 271 TOKEN_OR 272 TOKEN_XOR 273
%token TOKEN_ADD 274 TOKEN_SUB 275 TOKEN_ADDC 276 TOKEN_SUBB 277 TOKEN_JUMP 278 TOKEN_JUMPZ 279
%token TOKEN_JUMPE 280 TOKEN_JUMPC 281 TOKEN_JUMPNZ 282 TOKEN_JUMPNE 283 TOKEN_JUMPNC 284
%token TOKEN_JUMPS 285 TOKEN_DJNZ 286 TOKEN_CALL 287 TOKEN_RET 288 TOKEN_RETI 289 TOKEN_PUSH 290
%token TOKEN_POP 291 TOKEN_POPI 292 TOKEN_CPL 293 TOKEN_SLA 294 TOKEN_SLA2 295 TOKEN_SLA4 296
%token TOKEN_RL 297 TOKEN_RLC 298 TOKEN_XCH 299 TOKEN_XCHN 300 TOKEN_NEG 301 TOKEN_SR 302 TOKEN_RR 303
%token TOKEN_RRC 304 TOKEN_SRA 305 TOKEN_SRA2 306 TOKEN_SRA4 307 TOKEN_MOVE 308 TOKEN_MOVE_CB 309
%token TOKEN_MOVE_BC 310 TOKEN_MOVE_C0 311 TOKEN_MOVE_C1 312 TOKEN_MOVE_CBAR 313 TOKEN_TEST 314
%token TOKEN_PFX 315 TOKEN_NOP 316 TOKEN_MB1 317 TOKEN_MB2 318 TOKEN_MB3 319 TOKEN_MB4 320
%token TOKEN_MW1 321 TOKEN_MW2 322 TOKEN_SEB 323 TOKEN_SEW 324 TOKEN_XCHW 325 TOKEN_XCHE 326
%token TOKEN_BIC 327 TOKEN_CLZ 328 TOKEN_MLB1 329 TOKEN_MLB2 330 TOKEN_MLB3 331 TOKEN_MLB4 332
%token TOKEN_MLW1 333 TOKEN_MLW2 334 MNEMONIC_END 335 TOKEN_FJUMP 336 TOKEN_FCALL 337 TOKEN_FDJNZ 338
%token TOKEN_LJUMP 339 TOKEN_LCALL 340 TOKEN_LDJNZ 341 TOKEN_SJUMP 342 TOKEN_SCALL 343 TOKEN_SDJNZ 344
%token TOKEN_ZERO 345 TOKEN_NOTZERO 346 TOKEN_CARRY 347 TOKEN_NOTCARRY 348 TOKEN_SIGN 349
%token TOKEN_EQUAL 350 TOKEN_NOTEQUAL 351 TOKEN_AAP 352 TOKEN_DOT 353 TOKEN_ACCDOT 354 TOKEN_ACC 355
%token TOKEN_APTR 356 TOKEN_APC 357 TOKEN_AREG 358 TOKEN_MODULE 359 TOKEN_DATAPOINTER 360 TOKEN_IP 361
%token TOKEN_SP 362 TOKEN_SPI 363 TOKEN_LOOPCOUNTER 364 TOKEN_LOOPADDRESS 365 TOKEN_IC 366 TOKEN_IV 367
%token TOKEN_PSF 368 TOKEN_IMR 369 TOKEN_SC 370 TOKEN_IIR 371 TOKEN_CKCN 372 TOKEN_WDCN 373 TOKEN_GR 374
%token TOKEN_GRL 375 TOKEN_GRH 376 TOKEN_GRXL 377 TOKEN_OFFS 378 TOKEN_BP 379 TOKEN_CP 380 TOKEN_GRS 381
%token TOKEN_DPC 382 TOKEN_NUL 383 TOKEN_C2E31 384 TOKEN_IPR 385 TOKEN_DOTB 386 TOKEN_DOTW 387
%token TOKEN_DOTL 388 TOKEN_PRIV 389 TOKEN_PRIVT0 390 TOKEN_PRIVT1 391 TOKEN_PRIVF 392 TOKEN_ULDR 393
%token TOKEN_UAPP 394 TOKEN_ALIGN 395 TOKEN_IVM 396 TOKEN_DEBUG 397 TOKEN_EXPR_SHL 398 TOKEN_EXPR_SHR 399

%left '|'
%left '^'
%left '&'
%left TOKEN_EXPR_SHR TOKEN_EXPR_SHL
%left '+' '-'
%left '*' '/' '%'
%precedence UNARY

%start Start

%%

Start
  : StartEx TOKEN_NEWLINE  { EndStatement(a); YYACCEPT; }
  ;

StartEx
  : %empty                 { if (a.endOfInput) {
                               if (a.pass == 2) ReportError(a, "Missing End at the end of file");
                               YYACCEPT;
                             } }
  | TOKEN_DEBUG            { if (a.grammarTrace) fputs("\nStart_Debug\n", a.console.err); }
  | TOKEN_SEGMENT TOKEN_SEGMENTTYPE { if (a.grammarTrace) fputs("\nStart_Segment\n", a.console.err); }
  | TOKEN_END              { EndDirective(a); YYACCEPT; }
  | InstructionOrDirective
  | DefineTypes
  ;

InstructionOrDirective
  : Instruction
  | Directive
  ;

Instruction
  : InstructionAlu
  | TOKEN_JUMP JumpConditional Source   { BranchInstruction(a, BranchKind::Jump, BranchForm::Plain, $2); }
  | TOKEN_FJUMP JumpConditional Source  { BranchInstruction(a, BranchKind::Jump, BranchForm::Far, $2); }
  | TOKEN_LJUMP JumpConditional Source  { BranchInstruction(a, BranchKind::Jump, BranchForm::Long, $2); }
  | TOKEN_SJUMP JumpConditional Source  { BranchInstruction(a, BranchKind::Jump, BranchForm::Short, $2); }
  | TOKEN_DJNZ TOKEN_LOOPCOUNTER TOKEN_COMMA Source  { DjnzInstruction(a, BranchForm::Plain, $2); }
  | TOKEN_FDJNZ TOKEN_LOOPCOUNTER TOKEN_COMMA Source { DjnzInstruction(a, BranchForm::Far, $2); }
  | TOKEN_LDJNZ TOKEN_LOOPCOUNTER TOKEN_COMMA Source { DjnzInstruction(a, BranchForm::Long, $2); }
  | TOKEN_SDJNZ TOKEN_LOOPCOUNTER TOKEN_COMMA Source { DjnzInstruction(a, BranchForm::Short, $2); }
  | TOKEN_CALL Source      { BranchInstruction(a, BranchKind::Call, BranchForm::Plain, kRowCall); }
  | TOKEN_FCALL Source     { BranchInstruction(a, BranchKind::Call, BranchForm::Far, kRowCall); }
  | TOKEN_LCALL Source     { BranchInstruction(a, BranchKind::Call, BranchForm::Long, kRowCall); }
  | TOKEN_SCALL Source     { BranchInstruction(a, BranchKind::Call, BranchForm::Short, kRowCall); }
  | TOKEN_NOP              { FixedInstruction(a, kRowNop); }
  | TOKEN_RET RetConditional   { ReturnInstruction(a, kRowRet, $2); }
  | TOKEN_RETI RetConditional  { ReturnInstruction(a, kRowReti, $2); }
  | TOKEN_PUSH Source      { PushInstruction(a); }
  | TOKEN_POP Destination  { PopInstruction(a, kRowPop); }
  | TOKEN_POPI Destination { PopInstruction(a, kRowPopi); }
  | TOKEN_CPL              { FixedInstruction(a, kRowCpl); }
  | TOKEN_SLA              { FixedInstruction(a, kRowSla); }
  | TOKEN_SLA2             { FixedInstruction(a, kRowSla2); }
  | TOKEN_SLA4             { FixedInstruction(a, kRowSla4); }
  | TOKEN_RL               { FixedInstruction(a, kRowRl); }
  | TOKEN_RLC              { FixedInstruction(a, kRowRlc); }
  | TOKEN_XCH              { FixedInstruction(a, kRowXch); }
  | TOKEN_XCHN             { FixedInstruction(a, kRowXchn); }
  | TOKEN_NEG              { FixedInstruction(a, kRowNeg); }
  | TOKEN_SR               { FixedInstruction(a, kRowSr); }
  | TOKEN_RR               { FixedInstruction(a, kRowRr); }
  | TOKEN_RRC              { FixedInstruction(a, kRowRrc); }
  | TOKEN_SRA              { FixedInstruction(a, kRowSra); }
  | TOKEN_SRA2             { FixedInstruction(a, kRowSra2); }
  | TOKEN_SRA4             { FixedInstruction(a, kRowSra4); }
  | TOKEN_CPL TOKEN_CARRY  { FixedInstruction(a, kRowComplementCarry); }
  | TOKEN_TEST Source      { TestInstruction(a); }
  | TOKEN_MOVE MoveInstruction
  | zernc_ins
  ;

MoveInstruction
  : MoveData
  | MoveBit
  ;

MoveData
  : Destination TOKEN_COMMA Source  { MoveInstruction(a); }
  ;

MoveBit
  : TOKEN_CARRY TOKEN_COMMA MoveCarry
  | TOKEN_ACC TOKEN_DOT Expression TOKEN_COMMA TOKEN_CARRY  { MoveBitFromCarry(a, $3); }
  | DestinationNoAcc TOKEN_DOT Expression TOKEN_COMMA '#' Expression  { MoveBitImmediate(a, $3, $6); }
  ;

MoveCarry
  : Source TOKEN_DOT Expression  { MoveCarryFromBit(a, $3); }
  | '#' Expression               { MoveCarryImmediate(a, $2); }
  ;

InstructionAlu
  : TOKEN_AND AluSource    { AluInstruction(a, kRowAnd); }
  | TOKEN_OR AluSource     { AluInstruction(a, kRowOr); }
  | TOKEN_XOR AluSource    { AluInstruction(a, kRowXor); }
  | TOKEN_ADD Source       { AluInstruction(a, kRowAdd); }
  | TOKEN_SUB Source       { AluInstruction(a, kRowSub); }
  | TOKEN_ADDC Source      { AluInstruction(a, kRowAddc); }
  | TOKEN_SUBB Source      { AluInstruction(a, kRowSubb); }
  | zernc_prefix_ins
  ;

zernc_ins
  : TOKEN_MB1              { ZernCFixedInstruction(a, kRowMb1); }
  | TOKEN_MB2              { ZernCFixedInstruction(a, kRowMb2); }
  | TOKEN_MB3              { ZernCFixedInstruction(a, kRowMb3); }
  | TOKEN_MB4              { ZernCFixedInstruction(a, kRowMb4); }
  | TOKEN_MW1              { ZernCFixedInstruction(a, kRowMw1); }
  | TOKEN_MW2              { ZernCFixedInstruction(a, kRowMw2); }
  | TOKEN_SEB              { ZernCFixedInstruction(a, kRowSeb); }
  | TOKEN_SEW              { ZernCFixedInstruction(a, kRowSew); }
  | TOKEN_XCHW             { ZernCFixedInstruction(a, kRowXchw); }
  | TOKEN_XCHE             { ZernCFixedInstruction(a, kRowXche); }
  ;

zernc_prefix_ins
  : TOKEN_BIC Source       { ZernCAluInstruction(a, kRowBic); }
  | TOKEN_CLZ Source       { ZernCAluInstruction(a, kRowClz); }
  | TOKEN_MLB1 Source      { ZernCAluInstruction(a, kRowMlb1); }
  | TOKEN_MLB2 Source      { ZernCAluInstruction(a, kRowMlb2); }
  | TOKEN_MLB3 Source      { ZernCAluInstruction(a, kRowMlb3); }
  | TOKEN_MLB4 Source      { ZernCAluInstruction(a, kRowMlb4); }
  | TOKEN_MLW1 Source      { ZernCAluInstruction(a, kRowMlw1); }
  | TOKEN_MLW2 Source      { ZernCAluInstruction(a, kRowMlw2); }
  ;

AluSource
  : Source
  | AccBit
  ;

AccBit
  : TOKEN_ACC TOKEN_DOT Expression  { AccumulatorBitSource(a, $3); }
  ;

RetConditional
  : %empty                 { $$ = 0; }
  | TOKEN_ZERO             { $$ = 1; }
  | TOKEN_NOTZERO          { $$ = 5; }
  | TOKEN_CARRY            { $$ = 2; }
  | TOKEN_NOTCARRY         { $$ = 6; }
  | TOKEN_SIGN             { $$ = 4; }
  ;

JumpConditional
  : %empty                       { $$ = kRowJump; }
  | TOKEN_ZERO TOKEN_COMMA       { $$ = kRowJumpZ; }
  | TOKEN_NOTZERO TOKEN_COMMA    { $$ = kRowJumpNz; }
  | TOKEN_CARRY TOKEN_COMMA      { $$ = kRowJumpC; }
  | TOKEN_NOTCARRY TOKEN_COMMA   { $$ = kRowJumpNc; }
  | TOKEN_SIGN TOKEN_COMMA       { $$ = kRowJumpS; }
  | TOKEN_EQUAL TOKEN_COMMA      { $$ = kRowJumpE; }
  | TOKEN_NOTEQUAL TOKEN_COMMA   { $$ = kRowJumpNe; }
  ;

Source
  : SourceOrDestination    { $$ = SourceRegister(a, $1); }
  | TOKEN_IP               { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_IP)); }
  | TOKEN_AAP              { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_AAP)); }
  | TOKEN_GRS              { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_GRS)); }
  | TOKEN_GRXL             { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_GRXL)); }
  | TOKEN_BP '[' TOKEN_OFFS ']'  { $$ = SourceRegister(a, BasePointerOffsetSource(a, Width::None)); }
  | zernc_fp               { $$ = SourceRegister(a, $1); }
  | TOKEN_AREG             { $$ = SourceRegister(a, Accumulator(a, true)); }
  | TOKEN_CP               { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_CP)); }
  | TOKEN_C2E31            { $$ = SourceRegister(a, SimpleRegister(a, TOKEN_C2E31)); }
  | TOKEN_MODULE           { $$ = SourceRegister(a, ModuleRegister(a)); }
  | '@' SpSource           { $$ = SourceRegister(a, $2); }
  | '@' DpSource           { $$ = SourceRegister(a, $2); }
  | Expression             { $$ = SourceExpression(a, $1, false); }
  | '#' Expression         { $$ = SourceExpression(a, $2, true); }
  ;

zernc_fp
  : TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTB  { $$ = BasePointerOffsetSource(a, Width::Byte); }
  | TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTW  { $$ = BasePointerOffsetSource(a, Width::Word); }
  | TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTL  { $$ = BasePointerOffsetSource(a, Width::Long); }
  ;

Destination
  : SourceOrDestination    { $$ = DestinationRegister(a, $1); }
  | TOKEN_AREG             { $$ = DestinationRegister(a, Accumulator(a, false)); }
  | TOKEN_CP               { $$ = DestinationRegister(a, SimpleRegister(a, TOKEN_CP)); }
  | TOKEN_MODULE           { $$ = DestinationRegister(a, ModuleRegister(a)); }
  | TOKEN_NUL              { $$ = DestinationRegister(a, SimpleRegister(a, TOKEN_NUL)); }
  | '@' SpDestination      { $$ = DestinationRegister(a, $2); }
  | '@' DpDestination      { $$ = DestinationRegister(a, $2); }
  | '@' TOKEN_BP '[' BpDestination ']'  { $$ = DestinationRegister(a, $4); }
  | Expression             { $$ = DestinationExpression(a, $1); }
  ;

DestinationNoAcc
  : SourceOrDestinationNoAcc  { $$ = DestinationRegister(a, $1); }
  | TOKEN_AREG             { $$ = DestinationRegister(a, Accumulator(a, false)); }
  | TOKEN_MODULE           { $$ = DestinationRegister(a, ModuleRegister(a)); }
  | Expression             { $$ = DestinationExpression(a, $1); }
  ;

SourceOrDestination
  : SourceOrDestinationNoAcc
  | TOKEN_ACC              { $$ = SimpleRegister(a, TOKEN_ACC); }
  ;

SourceOrDestinationNoAcc
  : DataPointer
  | TOKEN_APTR             { $$ = SimpleRegister(a, TOKEN_APTR); }
  | TOKEN_APC              { $$ = SimpleRegister(a, TOKEN_APC); }
  | TOKEN_PSF              { $$ = SimpleRegister(a, TOKEN_PSF); }
  | TOKEN_IC               { $$ = SimpleRegister(a, TOKEN_IC); }
  | TOKEN_IMR              { $$ = SimpleRegister(a, TOKEN_IMR); }
  | TOKEN_SC               { $$ = SimpleRegister(a, TOKEN_SC); }
  | TOKEN_IPR              { $$ = SimpleRegister(a, TOKEN_IPR); }
  | TOKEN_IIR              { $$ = SimpleRegister(a, TOKEN_IIR); }
  | TOKEN_CKCN             { $$ = SimpleRegister(a, TOKEN_CKCN); }
  | TOKEN_WDCN             { $$ = SimpleRegister(a, TOKEN_WDCN); }
  | TOKEN_SP               { $$ = SimpleRegister(a, TOKEN_SP); }
  | TOKEN_PFX              { $$ = SimpleRegister(a, TOKEN_PFX); }
  | TOKEN_LOOPCOUNTER      { $$ = SimpleRegister(a, TOKEN_LOOPCOUNTER); }
  | TOKEN_IV               { $$ = SimpleRegister(a, TOKEN_IV); }
  | TOKEN_GR               { $$ = SimpleRegister(a, TOKEN_GR); }
  | TOKEN_GRL              { $$ = SimpleRegister(a, TOKEN_GRL); }
  | TOKEN_GRH              { $$ = SimpleRegister(a, TOKEN_GRH); }
  | TOKEN_DPC              { $$ = SimpleRegister(a, TOKEN_DPC); }
  | TOKEN_OFFS             { $$ = SimpleRegister(a, TOKEN_OFFS); }
  | TOKEN_BP               { $$ = SimpleRegister(a, TOKEN_BP); }
  | '@' TOKEN_BP SourceOrDestOffset  { $$ = $3; }
  | TOKEN_PRIV             { $$ = SimpleRegister(a, TOKEN_PRIV); }
  | TOKEN_PRIVT0           { $$ = SimpleRegister(a, TOKEN_PRIVT0); }
  | TOKEN_PRIVT1           { $$ = SimpleRegister(a, TOKEN_PRIVT1); }
  | TOKEN_PRIVF            { $$ = SimpleRegister(a, TOKEN_PRIVF); }
  | TOKEN_ULDR             { $$ = SimpleRegister(a, TOKEN_ULDR); }
  | TOKEN_UAPP             { $$ = SimpleRegister(a, TOKEN_UAPP); }
  | TOKEN_IVM              { $$ = SimpleRegister(a, TOKEN_IVM); }
  ;

SourceOrDestOffset
  : '[' TOKEN_OFFS ']'             { $$ = BasePointerIndirect(a, Width::None, Step::None); }
  | '[' TOKEN_OFFS '+' '+' ']'     { $$ = BasePointerIndirect(a, Width::None, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']'     { $$ = BasePointerIndirect(a, Width::None, Step::Decrement); }
  | zernc_Source_OrDestOffset
  ;

zernc_Source_OrDestOffset
  : '[' TOKEN_OFFS ']' TOKEN_DOTB          { $$ = BasePointerIndirect(a, Width::Byte, Step::None); }
  | '[' TOKEN_OFFS ']' TOKEN_DOTW          { $$ = BasePointerIndirect(a, Width::Word, Step::None); }
  | '[' TOKEN_OFFS ']' TOKEN_DOTL          { $$ = BasePointerIndirect(a, Width::Long, Step::None); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTB  { $$ = BasePointerIndirect(a, Width::Byte, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTB  { $$ = BasePointerIndirect(a, Width::Byte, Step::Decrement); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTW  { $$ = BasePointerIndirect(a, Width::Word, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTW  { $$ = BasePointerIndirect(a, Width::Word, Step::Decrement); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTL  { $$ = BasePointerIndirect(a, Width::Long, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTL  { $$ = BasePointerIndirect(a, Width::Long, Step::Decrement); }
  ;

SpSource
  : TOKEN_SP '-' '-'       { $$ = StackSource(a, false, Step::Decrement); }
  | TOKEN_SPI '-' '-'      { $$ = StackSource(a, true, Step::Decrement); }
  | TOKEN_SP '+' '+'       { $$ = StackSource(a, false, Step::Increment); }
  | TOKEN_SPI '+' '+'      { $$ = StackSource(a, true, Step::Increment); }
  ;

SpDestination
  : '+' '+' TOKEN_SP       { $$ = StackPush(a, Step::Increment); }
  | '-' '-' TOKEN_SP       { $$ = StackPush(a, Step::Decrement); }
  ;

DpSource
  : TOKEN_DATAPOINTER DpPlusMinus  { $$ = DataPointerIndirect(a, Width::None, $2 > 0 ? Step::Increment : Step::Decrement); }
  | TOKEN_CP CpPlusMinus           { $$ = CodePointerIndirect(a, $2 > 0 ? Step::Increment : Step::Decrement); }
  | TOKEN_CP                       { $$ = CodePointerIndirect(a, Step::None); }
  ;

DpDestination
  : DpPlusMinus TOKEN_DATAPOINTER  { $$ = DataPointerPreStep(a, $1 > 0 ? Step::Increment : Step::Decrement); }
  ;

BpDestination
  : OffsPlusMinus TOKEN_OFFS       { $$ = BasePointerPreStep(a, $1 > 0 ? Step::Increment : Step::Decrement); }
  ;

DpPlusMinus
  : '+' '+'                { $$ = 1; }
  | '-' '-'                { $$ = -1; }
  ;

CpPlusMinus
  : '+' '+'                { $$ = 1; }
  | '-' '-'                { $$ = -1; }
  ;

OffsPlusMinus
  : '-' '-'                { $$ = -1; }
  | '+' '+'                { $$ = 1; }
  ;

DataPointer
  : TOKEN_DATAPOINTER      { $$ = DataPointerRegister(a); }
  | AtDataPointer
  ;

AtDataPointer
  : '@' TOKEN_DATAPOINTER  { $$ = DataPointerIndirect(a, Width::None, Step::None); }
  | zernc_dp_addressing
  ;

zernc_dp_addressing
  : '@' TOKEN_DATAPOINTER TOKEN_DOTB          { $$ = DataPointerIndirect(a, Width::Byte, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW          { $$ = DataPointerIndirect(a, Width::Word, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL          { $$ = DataPointerIndirect(a, Width::Long, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTB '+' '+'  { $$ = DataPointerIndirect(a, Width::Byte, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW '+' '+'  { $$ = DataPointerIndirect(a, Width::Word, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL '+' '+'  { $$ = DataPointerIndirect(a, Width::Long, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTB '-' '-'  { $$ = DataPointerIndirect(a, Width::Byte, Step::Decrement); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW '-' '-'  { $$ = DataPointerIndirect(a, Width::Word, Step::Decrement); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL '-' '-'  { $$ = DataPointerIndirect(a, Width::Long, Step::Decrement); }
  ;

Expression
  : AnExpression
  ;

AnExpression
  : '(' Expression ')'                   { $$ = $2; }
  | Expression '|' Expression            { $$ = BinaryOperation(a, '|', $1, $3); }
  | Expression '&' Expression            { $$ = BinaryOperation(a, '&', $1, $3); }
  | Expression '*' Expression            { $$ = BinaryOperation(a, '*', $1, $3); }
  | Expression '/' Expression            { $$ = BinaryOperation(a, '/', $1, $3); }
  | Expression '%' Expression            { $$ = BinaryOperation(a, '%', $1, $3); }
  | Expression '-' Expression            { $$ = BinaryOperation(a, '-', $1, $3); }
  | '-' Expression %prec UNARY           { $$ = NegateOperation(a, $2); }
  | '~' Expression %prec UNARY           { $$ = ComplementOperation(a, $2); }
  | Expression '+' Expression            { $$ = BinaryOperation(a, '+', $1, $3); }
  | Expression '^' Expression            { $$ = BinaryOperation(a, '^', $1, $3); }
  | Expression TOKEN_EXPR_SHR Expression { $$ = BinaryOperation(a, TOKEN_EXPR_SHR, $1, $3); }
  | Expression TOKEN_EXPR_SHL Expression { $$ = BinaryOperation(a, TOKEN_EXPR_SHL, $1, $3); }
  | TOKEN_NUMBER                         { $$ = NumberOperand(a, $1); }
  | '$'                                  { $$ = DollarOperand(a); }
  ;

Directive
  : TOKEN_ORG Expression   { OrgDirective(a, $2); }
  | TOKEN_ALIGN            { AlignDirective(a); }
  ;

DefineTypes
  : TOKEN_DB Blist         { FinishDataList(a, true); }
  | TOKEN_DW Wlist         { FinishDataList(a, false); }
  | TOKEN_DL Llist         { FinishDataList(a, false); }
  | TOKEN_DT Tlist         { ReportError(a, "Error! The DT data type is currently not supported!"); }
  ;

Blist
  : BlistNumber
  | CharStream
  | BlistNumber TOKEN_COMMA Blist
  | CharStream TOKEN_COMMA Blist
  ;

BlistNumber
  : Expression             { DataByte(a, $1); }
  ;

CharStream
  : TOKEN_CHARSTRING       { DataString(a); }
  ;

Wlist
  : Wlist TOKEN_COMMA TOKEN_NUMBER  { DataWord(a, $3); }
  | Expression             { DataWord(a, $1); }
  ;

Llist
  : Llist TOKEN_COMMA TOKEN_NUMBER  { DataLong(a, $3); }
  | Expression             { DataLong(a, $1); }
  ;

Tlist
  : Tlist TOKEN_COMMA TOKEN_NUMBER
  | TOKEN_NUMBER
  ;

%%

static int yylex(int32_t* value, Assembly& a) {
  const int token = ScanToken(a);
  *value = a.tokenValue;
#if YYDEBUG
  // Only lines parsed with the trace on take this copy.
  NoteTracedToken(token);
#endif
  return token;
}

#if YYDEBUG
// The trace numbers the rules from 1; the tables hold the start rule first.
TracedRule zernasm::TracedRuleOf(int rule) {
  return {yyr2[rule + 1], yytname[yyr1[rule + 1]]};
}
#endif

// The run's messages for the parser's own failures.
static void yyerror(Assembly& a, const char* message) {
  if (strcmp(message, "memory exhausted") == 0) {
    ReportError(a, "parser stack overflow");
  } else {
    ReportError(a, "parse error");
  }
}
