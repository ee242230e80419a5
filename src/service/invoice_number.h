// Taking the invoice number out of a getInvoices reply.
#pragma once

#include <cstddef>

// Copies the first non-empty "number" text among the objects of the reply's
// "invoices" array into number, cut to capacity - 1 characters. number is
// left empty when the reply is not such a JSON object or holds no number.
// false when the reply is no JSON object with an "invoices" array.
bool takeInvoiceNumber(const char* reply, char* number, size_t capacity);
