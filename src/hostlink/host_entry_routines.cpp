// The per-function entry routines of the host-function cells, in assembly:
// each pushes its ordinal and jumps to a common routine that saves every
// register, asks mg_host_entry_target for the host address (binding the
// cell if needed), puts that address where the ordinal was, restores the
// registers and returns into it. The caller's arguments, return address and
// registers (ECX with a method's object included) reach the host untouched,
// whatever the calling convention.
#include "hostlink/host_binding.h"

#if defined(_WIN32) && defined(__i386__)
#define MG_SYMBOL(name) "_" #name
#else
#define MG_SYMBOL(name) #name
#endif

#if defined(_WIN32)
#define MG_ENTRY_DIRECTIVES(name) ".globl " MG_SYMBOL(name) "\n"
#define MG_TARGET_CALL MG_SYMBOL(mg_host_entry_target)
#else
#define MG_ENTRY_DIRECTIVES(name) \
  ".globl " MG_SYMBOL(name) "\n.hidden " MG_SYMBOL(name) "\n.type " MG_SYMBOL(name) ",@function\n"
#define MG_TARGET_CALL MG_SYMBOL(mg_host_entry_target)
#endif

#define HOST_FUNCTION(role, ordinal)           \
  MG_ENTRY_DIRECTIVES(mg_host_entry_##ordinal) \
  MG_SYMBOL(mg_host_entry_##ordinal)           \
  ":\n"                                        \
  "  push $" #ordinal                          \
  "\n"                                         \
  "  jmp " MG_SYMBOL(mg_host_entry_common) "\n"

#if defined(__x86_64__)
asm(".text\n"
    ".p2align 4\n"
    MG_SYMBOL(mg_host_entry_common) ":\n"
    // [rsp] ordinal, [rsp+8] return address, arguments above.
    "  push %rax\n  push %rcx\n  push %rdx\n  push %rsi\n  push %rdi\n"
    "  push %r8\n  push %r9\n  push %r10\n  push %r11\n"
    "  sub $136, %rsp\n"
    "  movdqu %xmm0, 0(%rsp)\n  movdqu %xmm1, 16(%rsp)\n  movdqu %xmm2, 32(%rsp)\n  movdqu %xmm3, 48(%rsp)\n"
    "  movdqu %xmm4, 64(%rsp)\n  movdqu %xmm5, 80(%rsp)\n  movdqu %xmm6, 96(%rsp)\n  movdqu %xmm7, 112(%rsp)\n"
    "  mov 208(%rsp), %rdi\n"
    "  call " MG_TARGET_CALL "\n"
    "  mov %rax, 208(%rsp)\n"
    "  movdqu 0(%rsp), %xmm0\n  movdqu 16(%rsp), %xmm1\n  movdqu 32(%rsp), %xmm2\n  movdqu 48(%rsp), %xmm3\n"
    "  movdqu 64(%rsp), %xmm4\n  movdqu 80(%rsp), %xmm5\n  movdqu 96(%rsp), %xmm6\n  movdqu 112(%rsp), %xmm7\n"
    "  add $136, %rsp\n"
    "  pop %r11\n  pop %r10\n  pop %r9\n  pop %r8\n  pop %rdi\n  pop %rsi\n  pop %rdx\n  pop %rcx\n  pop %rax\n"
    "  ret\n"
#include "hostlink/host_function_list.h"
);
#elif defined(__i386__)
asm(".text\n"
    ".p2align 4\n"
    MG_SYMBOL(mg_host_entry_common) ":\n"
    // [esp] ordinal, [esp+4] return address, arguments above.
    "  pushal\n"
    "  pushl 32(%esp)\n"
    "  call " MG_TARGET_CALL "\n"
    "  addl $4, %esp\n"
    "  movl %eax, 32(%esp)\n"
    "  popal\n"
    "  ret\n"
#include "hostlink/host_function_list.h"
);
#else
#error "the host-function entry routines exist for x86 only"
#endif
#undef HOST_FUNCTION
