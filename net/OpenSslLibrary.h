#pragma once
// OpenSSL is loaded when a connection first needs TLS, not when the program
// starts: most runs of vftp are plain FTP, and libssl with libcrypto cost
// every run about 2 MiB of memory merely by being linked. The functions the
// socket layer calls are reached through pointers bound at that first use;
// net/OpenSsl.h points the calls of its files at them.

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <string>

// Every OpenSSL function the socket layer calls. A call to one missing here
// fails to link, as the program is not linked with the library.
// clang-format off
#define VFTP_OPENSSL_FUNCTIONS(X) \
    X(ASN1_TIME_print) \
    X(BIO_clear_flags) X(BIO_ctrl) X(BIO_ctrl_pending) X(BIO_free) X(BIO_get_data) X(BIO_get_new_index) \
    X(BIO_meth_new) X(BIO_meth_set_create) X(BIO_meth_set_ctrl) X(BIO_meth_set_read) X(BIO_new) X(BIO_s_mem) \
    X(BIO_set_data) X(BIO_set_flags) X(BIO_set_init) \
    X(CRYPTO_free) \
    X(ERR_clear_error) X(ERR_error_string_n) X(ERR_get_error) X(ERR_reason_error_string) \
    X(EVP_Digest) X(EVP_EncodeBlock) X(EVP_sha256) \
    X(SSL_CIPHER_get_name) X(SSL_CTX_ctrl) X(SSL_CTX_free) X(SSL_CTX_load_verify_locations) X(SSL_CTX_new) \
    X(SSL_CTX_sess_set_new_cb) X(SSL_CTX_set_default_read_buffer_len) X(SSL_CTX_set_default_verify_dir) \
    X(SSL_CTX_set_default_verify_paths) \
    X(SSL_SESSION_free) X(SSL_ctrl) X(SSL_do_handshake) X(SSL_free) X(SSL_get0_param) \
    X(SSL_get1_peer_certificate) X(SSL_get_current_cipher) X(SSL_get_error) X(SSL_get_ex_data) \
    X(SSL_get_shutdown) X(SSL_get_verify_result) X(SSL_get_version) X(SSL_has_pending) X(SSL_new) \
    X(SSL_pending) X(SSL_read) X(SSL_session_reused) X(SSL_set1_host) X(SSL_set_bio) X(SSL_set_connect_state) \
    X(SSL_set_ex_data) X(SSL_set_read_ahead) X(SSL_set_session) X(SSL_set_verify) X(SSL_shutdown) X(SSL_write) \
    X(TLS_client_method) \
    X(X509_get_default_cert_dir) X(X509_get_default_cert_dir_env) X(X509_get_default_cert_file_env) \
    X(X509_NAME_print_ex) X(X509_VERIFY_PARAM_set1_ip_asc) X(X509_digest) X(X509_free) X(X509_get0_notAfter) \
    X(X509_get0_notBefore) X(X509_get0_pubkey) X(X509_get_issuer_name) X(X509_get_subject_name) \
    X(X509_verify_cert_error_string) \
    X(i2d_PUBKEY) X(OPENSSL_init_ssl)
// clang-format on

namespace ossl {
#define VFTP_OPENSSL_POINTER(name) extern decltype(&::name) name;
VFTP_OPENSSL_FUNCTIONS(VFTP_OPENSSL_POINTER)
#undef VFTP_OPENSSL_POINTER
}  // namespace ossl

// Loads the library and binds every function on the first call; later calls
// give the same answer. False, with the reason in Why, when it is missing.
bool LoadOpenSsl(std::string& Why);

// The texts of libcrypto's error reasons (a certificate file that is no
// PEM, a key that does not fit), loaded at the first error that needs them
// rather than at start-up, where they cost every TLS run 0.3 MiB of memory.
// TLS's own reasons are always loaded. After LoadOpenSsl succeeded.
void LoadOpenSslErrorTexts();
